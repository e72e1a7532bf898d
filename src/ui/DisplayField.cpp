#include "ui/DisplayField.h"

#include <QLabel>

QLabel* displayField(const char* objectName, const QString& caption, QWidget* parent, bool number)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(objectName));
    label->setAccessibleName(caption);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    if (number)
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}
