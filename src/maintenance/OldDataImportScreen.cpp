#include "maintenance/OldDataImportScreen.h"

#include "maintenance/Backup.h"
#include "oldfile/JetFile.h"
#include "session/Routines.h"
#include "session/Session.h"
#include "ui/EnterNavigation.h"
#include "ui/UiService.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("旧データの取り込み");
const QString NothingChanged = QStringLiteral("\n\n今のデータベースはそのままです。");

QTableWidgetItem* cell(const QString& text, bool number)
{
    auto* item = new QTableWidgetItem(text);
    item->setToolTip(text); // a long list of columns is cut in its cell
    item->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    return item;
}

} // namespace

frm旧データ取り込み::frm旧データ取り込み(SessionState& state, QWidget* parent) : QDialog(parent), state_(state)
{
    setObjectName(QStringLiteral("frm旧データ取り込み"));
    setWindowTitle(Title);

    auto* intro = new QLabel(QStringLiteral("以前のプログラムのデータベースファイル（.mdb）を読み込み、"
                                            "内容を確かめてから今のデータベースと置き換えます。"),
                             this);
    intro->setWordWrap(true);
    auto* fileLabel = new QLabel(QStringLiteral("旧データのファイル"), this);
    fileBox = new QLineEdit(this);
    fileBox->setObjectName(QStringLiteral("Text旧ファイル"));
    fileBox->setMinimumWidth(420);
    fileLabel->setBuddy(fileBox);
    browseButton = new QPushButton(QStringLiteral("参照…"), this);
    browseButton->setObjectName(QStringLiteral("cmd参照"));
    readButton = new QPushButton(QStringLiteral("読み込み"), this);
    readButton->setObjectName(QStringLiteral("cmd読込"));

    summaryGrid = new QTableWidget(0, 5, this);
    summaryGrid->setObjectName(QStringLiteral("Grid取り込み"));
    summaryGrid->setHorizontalHeaderLabels({QStringLiteral("表"), QStringLiteral("旧ファイルの件数"),
                                            QStringLiteral("取り込んだ件数"), QStringLiteral("取り込まない列"),
                                            QStringLiteral("既定値にした列")});
    summaryGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    summaryGrid->verticalHeader()->hide();
    summaryGrid->horizontalHeader()->setStretchLastSection(true);
    summaryGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    summaryGrid->setTextElideMode(Qt::ElideRight);
    summaryGrid->setMinimumSize(760, 260);

    notesLabel = new QLabel(this);
    notesLabel->setObjectName(QStringLiteral("lbl確認"));
    notesLabel->setWordWrap(true);
    notesLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    replaceButton = new QPushButton(QStringLiteral("置き換える"), this);
    replaceButton->setObjectName(QStringLiteral("cmd置換"));
    replaceButton->setEnabled(false);
    finishButton = new QPushButton(QStringLiteral("終了"), this);
    finishButton->setObjectName(QStringLiteral("cmd終了"));
    for (QPushButton* b : {browseButton, readButton, replaceButton, finishButton}) {
        b->setAutoDefault(false);
        b->setMinimumSize(110, 32);
    }
    readButton->setDefault(true);

    connect(browseButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("旧データのファイル"),
                                                          fileBox->text().isEmpty() ? QDir::homePath() : fileBox->text(),
                                                          QStringLiteral("旧データ (*.mdb);;すべてのファイル (*)"));
        if (!path.isEmpty())
            fileBox->setText(QDir::toNativeSeparators(path));
    });
    connect(readButton, &QPushButton::clicked, this, [this] { readOldFile(); });
    connect(replaceButton, &QPushButton::clicked, this, [this] {
        if (replaceLiveDatabase())
            accept();
    });
    connect(finishButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this] { discard(); });

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(fileBox, 1);
    fileRow->addWidget(browseButton);
    fileRow->addWidget(readButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(replaceButton);
    buttons->addWidget(finishButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(fileRow);
    layout->addWidget(summaryGrid, 1);
    layout->addWidget(notesLabel);
    layout->addLayout(buttons);
    setTabOrderChain({fileBox, readButton, browseButton, summaryGrid, replaceButton, finishButton});
    enableEnterNavigation(this);
}

frm旧データ取り込み::~frm旧データ取り込み()
{
    discard();
}

bool frm旧データ取り込み::readOldFile()
{
    discard();
    const QString path = QDir::fromNativeSeparators(fileBox->text().trimmed());
    if (path.isEmpty()) {
        ui().showMessage(QStringLiteral("旧データのファイルを指定してください。"), Title);
        return false;
    }
    std::unique_ptr<JetFile> old;
    try {
        BusyCursor busy;
        old = std::make_unique<JetFile>(path);
    } catch (const OperatorError& e) {
        ui().showMessage(e.message() + NothingChanged, Title);
        return false;
    }
    return readOldData(*old);
}

bool frm旧データ取り込み::readOldData(const OldDataSource& source)
{
    discard();
    try {
        BusyCursor busy;
        staging_ = stageOldData(source, state_.config);
    } catch (const OperatorError& e) {
        ui().showMessage(e.message() + NothingChanged, Title);
        return false;
    }
    showStaging();
    return true;
}

void frm旧データ取り込み::showStaging()
{
    const OldDataStaging& s = *staging_;
    summaryGrid->setRowCount(0);
    for (const ImportedTable& t : s.summary.tables) {
        const int row = summaryGrid->rowCount();
        summaryGrid->insertRow(row);
        summaryGrid->setItem(row, 0, cell(t.table, false));
        summaryGrid->setItem(row, 1, cell(QString::number(t.rowsRead), true));
        summaryGrid->setItem(row, 2, cell(QString::number(t.rowsWritten), true));
        summaryGrid->setItem(row, 3, cell(t.oldColumnsNotKept.join(QStringLiteral("、")), false));
        summaryGrid->setItem(row, 4, cell(t.columnsDefaulted.join(QStringLiteral("、")), false));
    }
    // The table and the counts whole; the two lists of columns share the
    // rest, each cut with "…" (the whole list is its tooltip).
    for (int c = 0; c < 3; ++c)
        summaryGrid->resizeColumnToContents(c);
    summaryGrid->setColumnWidth(3, 170);
    QStringList lines = s.problems;
    if (!s.problems.isEmpty())
        lines.prepend(QStringLiteral("次の問題があるため置き換えられません："));
    lines << s.notes();
    notesLabel->setText(lines.join(u'\n'));
    replaceButton->setEnabled(s.canReplace());
}

bool frm旧データ取り込み::replaceLiveDatabase()
{
    if (!staging_ || !staging_->canReplace())
        return false;
    if (!ui().ask(QStringLiteral("今のデータベースを、読み込んだ旧データで置き換えます。\n"
                                 "今のデータベースは控えとして同じフォルダに残します。\nよろしいですか？"),
                  Title))
        return false;
    try {
        BusyCursor busy;
        const QString kept = replaceWithOldData(*staging_, state_.config, configurationFilePath());
        staging_.reset();
        ui().showMessage(kept.isEmpty()
                             ? QStringLiteral("旧データを取り込みました。")
                             : QStringLiteral("旧データに置き換えました。\n置き換える前のデータベース：%1")
                                   .arg(QDir::toNativeSeparators(kept)),
                         Title);
    } catch (const OperatorError& e) {
        ui().showMessage(e.message(), Title);
        return false;
    }
    return true;
}

void frm旧データ取り込み::discard()
{
    if (staging_)
        discardStagedOldData(*staging_);
    staging_.reset();
    summaryGrid->setRowCount(0);
    notesLabel->clear();
    replaceButton->setEnabled(false);
}
