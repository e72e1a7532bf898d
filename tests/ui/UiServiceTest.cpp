// The scripted operator every GUI test relies on: messages recorded,
// questions answered in order, screens driven without blocking, and the
// busy pointer always returned.
#include "support/ScriptedUi.h"

#include <QDialog>
#include <QPushButton>
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

TEST(ScriptedUi, RecordsAnswersAndDrivesScreens)
{
    ScriptedUiScope scripted;
    scripted->answers = {true, false};
    scripted->inputs = {QStringLiteral("100"), std::nullopt};
    ui().showMessage("保存しました。", "確認");
    EXPECT_TRUE(ui().ask("削除しますか？", "削除"));
    EXPECT_FALSE(ui().ask("もう一度？", "削除"));
    EXPECT_EQ(ui().inputText("単価", "単価入力"), std::optional<QString>("100"));
    EXPECT_EQ(ui().inputText("単価", "単価入力"), std::nullopt);
    ASSERT_EQ(scripted->messages.size(), 1u);
    EXPECT_EQ(scripted->messages[0].title, "確認");
    EXPECT_EQ(scripted->questions.size(), 2u);

    QDialog dialog;
    dialog.setObjectName("frm試験");
    auto* ok = new QPushButton("ＯＫ", &dialog);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    scripted->onScreen("frm試験", [](QDialog& d) {
        EXPECT_TRUE(d.isVisible());
        d.findChild<QPushButton*>()->click();
    });
    EXPECT_EQ(ui().runModal(dialog), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(scripted->openedScreens, QStringList({"frm試験"}));

    // An unexpected question or screen is a failure of the test, not a hang.
    EXPECT_NONFATAL_FAILURE(ui().ask("予定外", "x"), "unexpected question");
    QDialog other;
    other.setObjectName("frm予定外");
    EXPECT_NONFATAL_FAILURE(ui().runModal(other), "unexpected screen");
}

TEST(ScriptedUi, BusyPointerReturnsHoweverTheWorkEnds)
{
    ScriptedUiScope scripted;
    try {
        BusyCursor busy;
        {
            BusyCursor nested;
            EXPECT_EQ(scripted->busyDepth, 2);
        }
        throw std::runtime_error("failed work");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(scripted->busyDepth, 0);
    EXPECT_EQ(scripted->busyCount, 2);
}
