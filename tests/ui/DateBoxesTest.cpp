// The year/month/day boxes every dated screen uses: parts carry into the
// next unit, whether typed or spun; Enter moves through a screen's boxes.
#include "support/QtPrinters.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

QString shown(const DateBoxes& boxes)
{
    return QStringLiteral("%1/%2/%3").arg(boxes.yearBox()->value()).arg(boxes.monthBox()->value()).arg(boxes.dayBox()->value());
}

} // namespace

TEST(DateBoxes, PartsCarryIntoTheNextUnit)
{
    DateBoxes boxes(nullptr, "Text2", "Text3", "Text4");
    boxes.setParts(2001, 2, 31);
    EXPECT_EQ(shown(boxes), "2001/3/3");
    EXPECT_EQ(boxes.date(), Date::fromParts(2001, 3, 3));
    boxes.setParts(2000, 13, 1);
    EXPECT_EQ(shown(boxes), "2001/1/1");
    boxes.setParts(2000, 3, 0);
    EXPECT_EQ(shown(boxes), "2000/2/29");

    // Spinning past the end of a month or year carries as well.
    boxes.setParts(2001, 1, 31);
    boxes.dayBox()->stepUp();
    EXPECT_EQ(shown(boxes), "2001/2/1");
    boxes.setParts(2001, 12, 15);
    boxes.monthBox()->stepUp();
    EXPECT_EQ(shown(boxes), "2002/1/15");
    boxes.setParts(2001, 3, 1);
    boxes.dayBox()->stepDown();
    EXPECT_EQ(shown(boxes), "2001/2/28");
    boxes.setParts(2001, 1, 10);
    boxes.monthBox()->stepDown();
    EXPECT_EQ(shown(boxes), "2000/12/10");
}

TEST(DateBoxes, AlwaysShowTheDateTheyReturnAtBothEnds)
{
    DateBoxes boxes(nullptr, "Text2", "Text3", "Text4");
    auto agrees = [&] {
        const Date d = boxes.date();
        return shown(boxes) == QStringLiteral("%1/%2/%3").arg(d.year()).arg(d.month()).arg(d.day());
    };
    // Spinning down from 1900/1/1 showed 1900/12/31 but returned 1899/12/31.
    boxes.setParts(1900, 1, 1);
    boxes.dayBox()->stepDown();
    EXPECT_EQ(shown(boxes), "1899/12/31");
    EXPECT_EQ(boxes.date(), Date::fromParts(1899, 12, 31));
    // The zero date of a cleared slip showed as 1900/12/30.
    boxes.setDate(Date());
    EXPECT_EQ(shown(boxes), "1899/12/30");
    EXPECT_EQ(boxes.date().serial(), 0.0);
    // At the far ends the date stops; the boxes still show what is returned.
    boxes.setParts(9999, 12, 31);
    boxes.dayBox()->stepUp();
    EXPECT_TRUE(agrees());
    EXPECT_EQ(boxes.date(), Date::fromParts(9999, 12, 31));
    boxes.monthBox()->stepUp();
    EXPECT_TRUE(agrees());
    boxes.setParts(100, 1, 1);
    boxes.dayBox()->stepDown();
    EXPECT_TRUE(agrees());
    EXPECT_EQ(boxes.date(), Date::fromParts(100, 1, 1));
    boxes.setParts(1, 1, 1);
    EXPECT_TRUE(agrees());
}

TEST(DateBoxes, NamedForTheScreenAndForScreenReaders)
{
    DateBoxes boxes(nullptr, "Text2", "Text3", "Text4");
    EXPECT_EQ(boxes.findChild<QSpinBox*>("Text2"), boxes.yearBox());
    EXPECT_EQ(boxes.findChild<QSpinBox*>("Text3"), boxes.monthBox());
    EXPECT_EQ(boxes.findChild<QSpinBox*>("Text4"), boxes.dayBox());
    EXPECT_EQ(boxes.yearBox()->accessibleName(), QStringLiteral("年"));
    EXPECT_EQ(boxes.monthBox()->accessibleName(), QStringLiteral("月"));
    EXPECT_EQ(boxes.dayBox()->accessibleName(), QStringLiteral("日"));
    QStringList buddies;
    for (QLabel* label : boxes.findChildren<QLabel*>())
        buddies << label->text() + QStringLiteral("→") + label->buddy()->objectName();
    EXPECT_EQ(buddies, QStringList({"年→Text2", "月→Text3", "日→Text4"}));
    // A new set of boxes shows today.
    EXPECT_EQ(boxes.date(), Date::today());

    QSignalSpy changed(&boxes, &DateBoxes::dateChanged);
    boxes.dayBox()->setValue(32);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(boxes.date().day(), 1);
}

TEST(EnterNavigation, EnterTakesTheTypedValueAndMovesToTheNextBox)
{
    QWidget screen;
    auto* layout = new QVBoxLayout(&screen);
    auto* name = new QLineEdit(&screen);
    auto* boxes = new DateBoxes(&screen, "Text2", "Text3", "Text4");
    auto* ok = new QPushButton("ＯＫ", &screen);
    layout->addWidget(name);
    layout->addWidget(boxes);
    layout->addWidget(ok);
    int pressed = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++pressed; });
    enableEnterNavigation(&screen);
    screen.show();
    QApplication::setActiveWindow(&screen);
    boxes->setParts(2001, 2, 10);

    name->setFocus();
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), boxes->yearBox());
    QTest::keyClick(boxes->yearBox(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(QApplication::focusWidget(), boxes->monthBox());
    QTest::keyClick(boxes->monthBox(), Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), boxes->dayBox());
    // Day 31 typed in February carries on Enter, then the focus moves on.
    boxes->dayBox()->selectAll();
    QTest::keyClicks(boxes->dayBox(), "31");
    QTest::keyClick(boxes->dayBox(), Qt::Key_Return);
    EXPECT_EQ(boxes->date(), Date::fromParts(2001, 3, 3));
    EXPECT_EQ(QApplication::focusWidget(), ok);
    EXPECT_EQ(pressed, 0);
}
