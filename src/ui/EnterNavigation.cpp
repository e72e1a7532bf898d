#include "ui/EnterNavigation.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace {

class EnterMovesFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->modifiers() & ~Qt::KeypadModifier)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        // A spin box's own line edit reports to the spin box; both count.
        const bool isBox = qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget)
                           || qobject_cast<QComboBox*>(widget);
        if (!isBox)
            return false;
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
            spin->interpretText(); // the typed value (and its carry) first
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
            spin->interpretText();
        // Exactly what Tab would do, in the screen's tab order.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &tab);
        return true;
    }
};

} // namespace

void enableEnterNavigation(QWidget* screen)
{
    auto* filter = new EnterMovesFocus(screen);
    const auto boxes = screen->findChildren<QWidget*>();
    for (QWidget* w : boxes)
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w))
            w->installEventFilter(filter);
}

void setTabOrderChain(const QList<QWidget*>& widgets)
{
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}
