#include "core/Date.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

QString parts(int y, int m, int d)
{
    return Date::fromParts(y, m, d).toShortString();
}

} // namespace

TEST(Date, FromPartsCarries)
{
    EXPECT_EQ(parts(2001, 2, 31), "2001/03/03");
    EXPECT_EQ(parts(2000, 13, 1), "2001/01/01");
    EXPECT_EQ(parts(2001, 0, 15), "2000/12/15");
    EXPECT_EQ(parts(2001, -1, 1), "2000/11/01");
    EXPECT_EQ(parts(2001, 3, 0), "2001/02/28");
    EXPECT_EQ(parts(2000, 3, 0), "2000/02/29");
    EXPECT_EQ(parts(2001, 1, 32), "2001/02/01");
    EXPECT_EQ(parts(2001, 1, -30), "2000/12/01");
    EXPECT_EQ(parts(2000, 25, 1), "2002/01/01");
    // Century rule: 1900 and 2100 are not leap years.
    EXPECT_EQ(parts(2100, 2, 29), "2100/03/01");
    EXPECT_EQ(Date::fromParts(1900, 3, 1).serial(), 61);
}

TEST(Date, SerialAndParts)
{
    EXPECT_EQ(Date::fromParts(1899, 12, 30).serial(), 0);
    EXPECT_TRUE(Date::fromParts(1899, 12, 30).isZero());
    const Date d = Date::fromParts(2001, 2, 16);
    EXPECT_EQ(d.dayNumber(), 36938);
    EXPECT_EQ(d.year(), 2001);
    EXPECT_EQ(d.month(), 2);
    EXPECT_EQ(d.day(), 16);
    EXPECT_EQ(d.addDays(13).toShortString(), "2001/03/01");
}

TEST(Date, TimeOfDayIsIgnoredForTheDay)
{
    const Date evening = Date::fromSerial(36938.75);
    EXPECT_EQ(evening.dayNumber(), 36938);
    EXPECT_EQ(evening.toShortString(), "2001/02/16");
    EXPECT_EQ(Date::fromSerial(-0.5).dayNumber(), -1);
    EXPECT_EQ(Date::fromSerial(-0.5).toShortString(), "1899/12/29");
}

TEST(Date, QDateConversion)
{
    EXPECT_EQ(Date::fromQDate(QDate(2001, 2, 16)).serial(), 36938);
    EXPECT_EQ(Date::fromSerial(36938.5).toQDate(), QDate(2001, 2, 16));
    EXPECT_EQ(Date::fromQDate(QDate(1899, 12, 30)).serial(), 0);
    EXPECT_TRUE(Date::fromQDate(QDate()).isZero());
    const Date today = Date::today();
    EXPECT_EQ(today.toQDate(), QDate::currentDate());
    EXPECT_EQ(today.serial(), double(today.dayNumber()));
}
