#pragma once
// Pictures of screens for the documentation, and the checks that go with
// them: no button or label narrower than its caption.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

// The folder a test keeps its pictures in: HIMAWARI_SCREENSHOTS when set,
// otherwise `fallback` (the test's own folder). The folder is made when
// missing.
inline QString pictureFolder(const QString& fallback)
{
    const QString folder = qEnvironmentVariable("HIMAWARI_SCREENSHOTS", fallback);
    QDir().mkpath(folder);
    return folder;
}

// Shows the screen at the size its layout asks for and saves what it looks
// like as `file` in `folder`.
inline void savePicture(QWidget& screen, const QString& folder, const QString& file)
{
    screen.show();
    screen.adjustSize();
    QApplication::processEvents();
    const QPixmap picture = screen.grab();
    EXPECT_FALSE(picture.isNull()) << file.toStdString();
    EXPECT_TRUE(picture.save(QDir(folder).filePath(file))) << file.toStdString();
}

// Which controls a caption check looks at.
enum class CaptionCheck {
    EveryControl, // hidden and empty ones too
    ShownOnly,    // only those on screen (labels: only those with a text)
};

// No button of the screen is narrower than its caption.
inline void expectButtonsFitCaptions(const QWidget& screen, CaptionCheck which = CaptionCheck::EveryControl)
{
    for (QPushButton* b : screen.findChildren<QPushButton*>()) {
        if (which == CaptionCheck::EveryControl || b->isVisible()) {
            EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text())) << b->objectName().toStdString();
        }
    }
}

// No label of the screen is narrower than its text.
inline void expectLabelsFitTexts(const QWidget& screen, CaptionCheck which = CaptionCheck::EveryControl)
{
    for (QLabel* l : screen.findChildren<QLabel*>()) {
        if (which == CaptionCheck::EveryControl || (l->isVisible() && !l->text().isEmpty())) {
            EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text()))
                << l->objectName().toStdString() << " " << l->text().toStdString();
        }
    }
}
