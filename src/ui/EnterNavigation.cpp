#include "ui/EnterNavigation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace {

const char* const ClosingProperty = "himawariClosesScreen";
const char* const OptionalChoiceProperty = "himawariOptionalChoice";
const char* const ConfirmButtonProperty = "himawariEnterConfirms";
const char* const DeclaredDefaultProperty = "himawariDeclaredDefault";
const char* const OwnEnterProperty = "himawariOwnEnter";
const char* const InstalledProperty = "himawariEnterNavigation";

bool isEnter(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & ~Qt::KeypadModifier);
}

bool isBox(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
           || qobject_cast<const QComboBox*>(w);
}

// A grid the operator only reads (editable grids keep Enter for their
// cells).
bool isReadOnlyGrid(const QWidget* w)
{
    const auto* view = qobject_cast<const QAbstractItemView*>(w);
    return view && !qobject_cast<const QListView*>(w) && view->editTriggers() == QAbstractItemView::NoEditTriggers;
}

// The widget Tab would reach from `from`: the next in the focus chain that
// takes Tab focus, is shown and enabled, and lies on the same screen.
QWidget* nextInTabOrder(QWidget* from)
{
    QWidget* w = from;
    while ((w = w->nextInFocusChain()) != from) {
        if (w->window() != from->window())
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(from->window()) && w->isEnabled()
            && !w->focusProxy())
            return w;
    }
    return nullptr;
}

// Enter moves on as Tab does, except onto a button that closes the screen:
// an operator finishing a box with Enter must not land on "キャンセル" (the
// confirming button is hidden while the entry is incomplete) and throw the
// entry away with the next Enter.
void moveOn(QWidget* from)
{
    QWidget* next = nextInTabOrder(from);
    if (!next)
        return;
    auto* button = qobject_cast<QAbstractButton*>(next);
    if (button && closesScreen(button)) {
        QApplication::beep();
        return;
    }
    // The screen's own default button, drawn so while the cursor is in the
    // box, is pressed at once when it is the next stop (a one-box dialog).
    if (auto* push = qobject_cast<QPushButton*>(button); push && push->isDefault() && isBox(from)) {
        push->click();
        return;
    }
    next->setFocus(Qt::TabFocusReason);
}

// The button the screen itself declared as its default (drawn so while no
// other button has the focus), remembered on the screen.
QPushButton* declaredDefault(QWidget* screen, QPushButton* focused)
{
    const QVariant stored = screen->property(DeclaredDefaultProperty);
    if (stored.isValid())
        return qobject_cast<QPushButton*>(stored.value<QObject*>());
    QPushButton* declared = nullptr;
    for (QPushButton* b : screen->findChildren<QPushButton*>())
        if (b != focused && b->isDefault() && b->window() == screen)
            declared = b;
    screen->setProperty(DeclaredDefaultProperty, QVariant::fromValue<QObject*>(declared));
    return declared;
}

class EnterMovesFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            if (event->type() == QEvent::FocusIn)
                drawAsDefault(button);
            else if (event->type() == QEvent::FocusOut
                     && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
                giveBackDefault(button);
        }
        if (event->type() != QEvent::KeyPress || !isEnter(static_cast<QKeyEvent*>(event)))
            return false;

        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            // Enter on a focused button presses it, main Enter or keypad.
            if (button->isVisible() && button->isEnabled())
                button->click();
            return true;
        }
        if (auto* list = qobject_cast<QListView*>(widget)) {
            enterInList(list);
            return true;
        }
        if (qobject_cast<QAbstractItemView*>(widget)) {
            moveOn(widget); // a grid to be read: Enter moves on
            return true;
        }
        if (qobject_cast<QAbstractButton*>(widget)) {
            moveOn(widget); // a check box or an option: Enter moves on
            return true;
        }
        if (!isBox(widget))
            return false;
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget))
            spin->interpretText(); // the typed value (and its carry) first
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget->parentWidget()))
            spin->interpretText();
        moveOn(widget);
        return true;
    }

private:
    // The focused button is the one Enter presses, so it is the one drawn
    // as the default.
    static void drawAsDefault(QPushButton* button)
    {
        declaredDefault(button->window(), button);
        button->setDefault(true);
    }

    static void giveBackDefault(QPushButton* button)
    {
        QPushButton* declared = declaredDefault(button->window(), button);
        if (declared == button)
            return;
        button->setDefault(false);
        if (declared)
            declared->setDefault(true);
    }

    // Enter in a list chooses the row the cursor stands on (a required
    // choice: the arrow keys alone may have moved the cursor without
    // choosing), then moves on, or confirms where the screen says so.
    static void enterInList(QListView* list)
    {
        QItemSelectionModel* selection = list->selectionModel();
        const bool optional = list->property(OptionalChoiceProperty).toBool();
        QModelIndex current = list->currentIndex();
        // A list that never had the cursor (its window was not active yet)
        // stands on its first row.
        if (!current.isValid() && !optional && list->model() && list->model()->rowCount() > 0)
            current = list->model()->index(0, list->modelColumn());
        // Enter activates the row, as in any list; a screen that takes its
        // choice from the activation and moves on by itself is left there.
        if (current.isValid()) {
            const QPointer<QListView> stillThere(list);
            emit list->activated(current);
            if (!stillThere || !list->isVisible() || list->window()->focusWidget() != list)
                return;
        }
        if (selection && current.isValid() && !optional && !selection->isSelected(current))
            selection->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
        auto* confirm = qobject_cast<QAbstractButton*>(list->property(ConfirmButtonProperty).value<QObject*>());
        if (confirm && confirm->isVisible() && confirm->isEnabled() && selection && selection->hasSelection()) {
            confirm->click();
            return;
        }
        moveOn(list);
    }
};

const QStringList& closingCaptions()
{
    static const QStringList captions{QStringLiteral("キャンセル"), QStringLiteral("終了・中止"), QStringLiteral("中止・終了"),
                                      QStringLiteral("終了"),       QStringLiteral("閉じる"),     QStringLiteral("中止")};
    return captions;
}

} // namespace

void enableEnterNavigation(QWidget* screen)
{
    // Once per screen: a screen that set itself up is opened through the
    // modal runner, which sets up every screen it shows.
    if (screen->property(InstalledProperty).toBool())
        return;
    screen->setProperty(InstalledProperty, true);
    auto* filter = new EnterMovesFocus(screen);
    const auto widgets = screen->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (w->property(OwnEnterProperty).toBool())
            continue;
        if (isBox(w) || qobject_cast<QListView*>(w) || isReadOnlyGrid(w))
            w->installEventFilter(filter);
        else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            // Qt's own Enter handling on push buttons (the auto-default
            // button of a dialog) is replaced by the filter's: Enter presses
            // the focused button and nothing else.
            if (auto* push = qobject_cast<QPushButton*>(button))
                push->setAutoDefault(false);
            w->installEventFilter(filter);
        }
    }
}

void setTabOrderChain(const QList<QWidget*>& widgets)
{
    for (qsizetype i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void markClosingButton(QAbstractButton* button, bool closes)
{
    button->setProperty(ClosingProperty, closes);
}

bool closesScreen(const QAbstractButton* button)
{
    const QVariant marked = button->property(ClosingProperty);
    if (marked.isValid())
        return marked.toBool();
    return closingCaptions().contains(button->text());
}

void keepOwnEnter(QWidget* widget)
{
    widget->setProperty(OwnEnterProperty, true);
}

void markOptionalChoice(QListView* list)
{
    list->setProperty(OptionalChoiceProperty, true);
}

void confirmWithEnter(QListView* list, QAbstractButton* button)
{
    list->setProperty(ConfirmButtonProperty, QVariant::fromValue<QObject*>(button));
}
