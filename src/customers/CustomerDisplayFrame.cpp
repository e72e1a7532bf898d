#include "customers/CustomerDisplayFrame.h"

#include "session/Session.h"
#include "ui/DisplayField.h"
#include "ui/ScreenWidgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace {

struct Place {
    const char* caption;
    bool amount;
    int row;
    int column; // of the caption; the field stands right of it
    int span;
};
// The fields in order, the second address line (no caption) under the first.
constexpr Place places[CustomerDisplayFrame::Fields] = {
    {"顧客コード", false, 0, 0, 1},  {"顧客名前", false, 1, 0, 3},     {"顧客カナ名前", false, 2, 0, 3},
    {"顧客住所", false, 3, 0, 3},    {"顧客住所 2行目", false, 4, 0, 3}, {"顧客電話番号", false, 5, 0, 1},
    {"郵便番号", false, 5, 2, 1},    {"請求額", true, 0, 5, 1},        {"既入金額", true, 1, 5, 1},
    {"締後売上額", true, 2, 5, 1},
};
constexpr int SecondAddressLine = 4;

} // namespace

CustomerDisplayFrame::CustomerDisplayFrame(QWidget* parent, const std::array<const char*, Fields>& fieldNames,
                                           const std::array<const char*, Captions>* captionNames)
{
    frame = new QGroupBox(QStringLiteral("顧客相手先"), parent);
    frame->setObjectName(QStringLiteral("Frame1"));
    grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(10);
    for (int i = 0; i < Fields; ++i)
        fields[i] = displayField(fieldNames[i], QString::fromUtf8(places[i].caption), frame, places[i].amount);
    // Room for a name of 16 and an address of 24 full-width characters.
    fields[1]->setMinimumWidth(fields[1]->fontMetrics().horizontalAdvance(QString(16, QChar(0x3042))) + 12);
    fields[3]->setMinimumWidth(fields[3]->fontMetrics().horizontalAdvance(QString(24, QChar(0x3042))) + 12);

    int c = 0;
    for (int i = 0; i < Fields; ++i) {
        const Place& p = places[i];
        if (i == SecondAddressLine) {
            grid->addWidget(fields[i], p.row, p.column + 1, 1, p.span);
            continue;
        }
        QLabel* caption = captionFor(fields[i], QString::fromUtf8(p.caption), frame);
        if (captionNames)
            caption->setObjectName(QString::fromUtf8((*captionNames)[c]));
        captions[c++] = caption;
        grid->addWidget(caption, p.row, p.column);
        grid->addWidget(fields[i], p.row, p.column + 1, 1, p.span);
    }
    grid->setColumnMinimumWidth(4, 24);
    grid->setColumnStretch(3, 1);
}

void CustomerDisplayFrame::show(const CustomerCard& c) const
{
    const QString texts[Fields] = {c.code,      c.name,       c.kanaName,
                                   c.address1,  c.address2,   c.telephone,
                                   c.postalCode, c.lastInvoiceAmount.toString(), c.paymentsSinceClosing.toString(),
                                   c.creditSalesSinceClosing.toString()};
    for (int i = 0; i < Fields; ++i)
        fields[i]->setText(texts[i]);
}
