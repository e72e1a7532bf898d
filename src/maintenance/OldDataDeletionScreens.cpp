#include "maintenance/OldDataDeletionScreens.h"

#include "session/Session.h"
#include "core/Text.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "ui/DateBoxes.h"
#include "ui/EnterNavigation.h"
#include "ui/RunLock.h"
#include "ui/UiService.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

OldDataDeletionScreen::OldDataDeletionScreen(SessionState& state, const Texts& texts, QWidget* parent)
    : QDialog(parent), state_(state), texts_(texts)
{
    setObjectName(texts.name);
    setWindowTitle(texts.heading);

    headingLabel = new QLabel(texts.heading, this);
    headingLabel->setObjectName(QStringLiteral("Label1"));
    QFont big = headingLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    headingLabel->setFont(big);
    headingLabel->setAlignment(Qt::AlignCenter);

    dateLineLabel = new QLabel(texts.dateLine, this);
    dateLineLabel->setObjectName(QStringLiteral("Label2"));

    dateBoxes_ = new DateBoxes(this, QStringLiteral("Text1"), QStringLiteral("Text2"), QStringLiteral("Text3"));
    yearBox = dateBoxes_->yearBox();
    monthBox = dateBoxes_->monthBox();
    dayBox = dateBoxes_->dayBox();
    dateLineLabel->setBuddy(yearBox);
    // The proposed cut-off: today two years back (29 February carries into
    // 1 March, as any out-of-range day does).
    const Date today = Date::today();
    dateBoxes_->setParts(today.year() - 2, today.month(), today.day());

    deleteButton = new QPushButton(texts.deleteCaption, this);
    deleteButton->setObjectName(texts.deleteButtonName);
    deleteButton->setAutoDefault(false);
    deleteButton->setMinimumSize(150, 36);
    finishButton = new QPushButton(QStringLiteral("中止・終了"), this);
    finishButton->setObjectName(QStringLiteral("Command4"));
    finishButton->setAutoDefault(false);
    finishButton->setMinimumSize(120, 36);
    connect(deleteButton, &QPushButton::clicked, this, [this] { deleteRows(); });
    connect(finishButton, &QPushButton::clicked, this, &QDialog::reject);

    // While a box holds something that is not a whole number (in the middle
    // of typing) there is no cut-off, and nothing can be deleted.
    // The boxes' own line edits report every keystroke (the spin boxes only
    // report values once they are confirmed).
    for (QSpinBox* box : {yearBox, monthBox, dayBox}) {
        connect(box, &QSpinBox::textChanged, this, [this] { updateDeleteButton(); });
        if (auto* edit = box->findChild<QLineEdit*>())
            connect(edit, &QLineEdit::textChanged, this, [this] { updateDeleteButton(); });
    }

    auto* dateRow = new QHBoxLayout;
    dateRow->addStretch(1);
    dateRow->addWidget(dateBoxes_);
    dateRow->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(deleteButton);
    buttons->addSpacing(16);
    buttons->addWidget(finishButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 20);
    layout->setSpacing(14);
    layout->addWidget(headingLabel);
    layout->addSpacing(8);
    layout->addWidget(dateLineLabel, 0, Qt::AlignHCenter);
    layout->addLayout(dateRow);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    enableEnterNavigation(this);
}

Date OldDataDeletionScreen::cutoff() const
{
    return dateBoxes_->date();
}

void OldDataDeletionScreen::updateDeleteButton()
{
    deleteButton->setEnabled(yearBox->hasAcceptableInput() && monthBox->hasAcceptableInput()
                             && dayBox->hasAcceptableInput());
}

void OldDataDeletionScreen::deleteRows()
{
    // A number typed but not yet confirmed with Enter counts as typed.
    for (QSpinBox* box : {yearBox, monthBox, dayBox})
        box->interpretText();
    updateDeleteButton();
    if (!deleteButton->isEnabled())
        return;
    const Date day = cutoff();
    if (isAfterToday(day)) {
        ui().showMessage(QStringLiteral("%1 は今日より後の日付です。\n今日以前の日付を指定してください。")
                             .arg(text::format(day, QStringLiteral("yyyy/mm/dd"))),
                         texts_.confirmTitle);
        return;
    }
    QString compactionNote;
    try {
        Database db(state_.config.databasePath);
        // Another computer on the same server may be closing the books.
        const std::unique_ptr<ExclusiveRun> run = holdRunOrTell(db, texts_.confirmTitle, texts_.confirmTitle);
        if (!run)
            return;
        const DeletionCount count = countRows(db, day);
        if (!ui().ask(texts_.confirmText + QStringLiteral("\n\n") + countLine(count), texts_.confirmTitle))
            return;
        BusyCursor busy;
        removeRows(db, day);
        try {
            compactDatabase(db);
        } catch (const DatabaseError& e) {
            // The rows are gone; only the file keeps its size for now.
            compactionNote = QStringLiteral("\n（ファイルの縮小はできませんでした：%1）").arg(e.databaseText());
        }
    } catch (const DatabaseError& e) {
        ui().showMessage(QStringLiteral("データを削除できませんでした。データは何も変更していません。\n%1").arg(e.databaseText()),
                         texts_.confirmTitle);
        return;
    }
    ui().showMessage(texts_.completionText + compactionNote, texts_.completionTitle);
}

frm削除商品::frm削除商品(SessionState& state, QWidget* parent)
    : OldDataDeletionScreen(state,
                            {QStringLiteral("frm削除商品"), QStringLiteral("売上商品履歴の削除"),
                             QStringLiteral("この日以前のデータを削除します。"), QStringLiteral("Command2"),
                             QStringLiteral("削除"), QStringLiteral("顧客売上商品データの削除"),
                             QStringLiteral("上記日付以前の顧客売上商品データを削除します。よろしいですか？"),
                             QStringLiteral("顧客売上商品データの削除"),
                             QStringLiteral("顧客売上商品データの削除が、完了しました。")},
                            parent)
{
}

DeletionCount frm削除商品::countRows(Database& db, const Date& cutoff)
{
    return countOldSalesLines(db, cutoff);
}

QString frm削除商品::countLine(const DeletionCount& count) const
{
    return QStringLiteral("削除する件数：%1 件").arg(count.rows);
}

void frm削除商品::removeRows(Database& db, const Date& cutoff)
{
    deleteOldSalesLines(db, cutoff);
}

frm削除ガス::frm削除ガス(SessionState& state, QWidget* parent)
    : OldDataDeletionScreen(state,
                            {QStringLiteral("frm削除ガス"), QStringLiteral("ガスデータの削除"),
                             QStringLiteral("この日以前のガスデータを削除します。"), QStringLiteral("Command3"),
                             QStringLiteral("ガスデータの削除"), QStringLiteral("ガスデータの削除"),
                             QStringLiteral("上記日付以前のガスデータを削除します。よろしいですか？"),
                             QStringLiteral("ガスデータ削除完了"), QStringLiteral("ガスデータの削除が、完了しました。")},
                            parent)
{
}

DeletionCount frm削除ガス::countRows(Database& db, const Date& cutoff)
{
    return countOldGasData(db, cutoff);
}

QString frm削除ガス::countLine(const DeletionCount& count) const
{
    return QStringLiteral("削除する件数：%1 件\n（各顧客の最新の検針データ %2 件は、次の検針の基準として残します）")
        .arg(count.rows)
        .arg(count.readingsKept);
}

void frm削除ガス::removeRows(Database& db, const Date& cutoff)
{
    deleteOldGasData(db, cutoff);
}
