#pragma once
// Pictures of screens for the documentation, and the checks that go with
// them: no button or label narrower than its caption.

#include "core/Currency.h"
#include "core/Date.h"
#include "session/Session.h"

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

// 山田　太郎 of 東京都試験区, the customer the pictures of the sales and
// payment screens show, as the customer picker leaves him chosen for a slip
// dated 2024/05/01: under `code`, with his billed amount, payments and
// credit sales since the last closing.
inline void choosePictureCustomer(SessionState& s, const QString& code, const Currency& lastInvoice,
                                  const Currency& payments, const Currency& creditSales)
{
    s.customer.code = code;
    s.customer.name = QStringLiteral("山田　太郎");
    s.customer.kanaName = QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ");
    s.customer.address1 = QStringLiteral("東京都試験区１－１");
    s.customer.address2 = QStringLiteral("試験荘２０１");
    s.customer.telephone = QStringLiteral("03-1111-2222");
    s.customer.postalCode = QStringLiteral("100-0001");
    s.customer.lastInvoiceAmount = lastInvoice;
    s.customer.paymentsSinceClosing = payments;
    s.customer.creditSalesSinceClosing = creditSales;
    s.customer.slipDate = Date::fromParts(2024, 5, 1);
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
