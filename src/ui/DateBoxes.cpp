#include "ui/DateBoxes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

// The dates the boxes can show: a four-digit year from 100 to 9999. A date
// carried past either end stops there, so the boxes always show the date
// they return (the zero date of a cleared slip, 1899/12/30, included).
constexpr int FirstYear = 100;
constexpr int LastYear = 9999;

Date clampToBoxes(const Date& d)
{
    static const Date first = Date::fromParts(FirstYear, 1, 1);
    static const Date last = Date::fromParts(LastYear, 12, 31);
    if (d.dayNumber() < first.dayNumber())
        return first;
    if (d.dayNumber() > last.dayNumber())
        return last;
    return d;
}

QSpinBox* makeBox(QWidget* parent, const QString& name, const QString& caption, int min, int max, int width)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(caption);
    box->setRange(min, max);
    // Carry is applied when the typed value is complete (Enter, leaving the
    // box or a spin button), not on every keystroke.
    box->setKeyboardTracking(false);
    box->setAlignment(Qt::AlignRight);
    box->setMinimumWidth(width);
    return box;
}

} // namespace

DateBoxes::DateBoxes(QWidget* parent, const QString& yearName, const QString& monthName, const QString& dayName)
    : QWidget(parent)
{
    // The ranges reach one beyond each unit so that a spin past the end carries.
    year_ = makeBox(this, yearName, QStringLiteral("年"), FirstYear, LastYear, 70);
    month_ = makeBox(this, monthName, QStringLiteral("月"), 0, 13, 48);
    day_ = makeBox(this, dayName, QStringLiteral("日"), 0, 32, 48);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    const QString captions[3] = {QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("日")};
    QSpinBox* boxes[3] = {year_, month_, day_};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(captions[i], this);
        label->setBuddy(boxes[i]);
        layout->addWidget(boxes[i]);
        layout->addWidget(label);
        connect(boxes[i], &QSpinBox::valueChanged, this, &DateBoxes::carry);
    }
    layout->addStretch(1);
    setDate(Date::today());
}

Date DateBoxes::date() const
{
    return Date::fromParts(year_->value(), month_->value(), day_->value());
}

void DateBoxes::setDate(const Date& date)
{
    setParts(date.year(), date.month(), date.day());
}

void DateBoxes::setParts(int year, int month, int day)
{
    display(Date::fromParts(year, month, day));
}

void DateBoxes::carry()
{
    display(date());
}

void DateBoxes::display(const Date& date)
{
    const Date d = clampToBoxes(date);
    {
        const QSignalBlocker b1(year_), b2(month_), b3(day_);
        year_->setValue(d.year());
        month_->setValue(d.month());
        day_->setValue(d.day());
    }
    emit dateChanged(d);
}
