#pragma once
// Year, month and day boxes with spin buttons, as every dated screen has
// them. Parts carry into the next unit: month 13 becomes January of the next
// year, day 0 the last day of the month before, day 32 of January 1 February.

#include "core/Date.h"

#include <QWidget>

class QSpinBox;

class DateBoxes : public QWidget {
    Q_OBJECT
public:
    // The three boxes get the given object names (each screen names its
    // own), and the accessible names "年", "月" and "日".
    explicit DateBoxes(QWidget* parent = nullptr, const QString& yearName = QStringLiteral("Text年"),
                       const QString& monthName = QStringLiteral("Text月"),
                       const QString& dayName = QStringLiteral("Text日"));

    Date date() const;
    void setDate(const Date& date);
    // Sets the three parts as typed and carries them into a real date.
    void setParts(int year, int month, int day);

    QSpinBox* yearBox() const { return year_; }
    QSpinBox* monthBox() const { return month_; }
    QSpinBox* dayBox() const { return day_; }

signals:
    void dateChanged(const Date& date);

private:
    void carry();
    void display(const Date& date);
    QSpinBox* year_;
    QSpinBox* month_;
    QSpinBox* day_;
};
