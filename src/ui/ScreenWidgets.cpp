#include "ui/ScreenWidgets.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

QPushButton* commandButton(QWidget* parent, const QString& objectName, const QString& caption, QSize minimum)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    b->setAutoDefault(false);
    b->setMinimumSize(std::max(minimum.width(), b->sizeHint().width() + 24), minimum.height());
    return b;
}

QLabel* captionFor(QWidget* buddy, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("cap") + text);
    label->setBuddy(buddy);
    return label;
}
