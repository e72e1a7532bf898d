#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/AdminDialog.h"
#include "print/PrintSurface.h"
#include "ui/Screens.h"
#include "session/Session.h"
#include "ui/EnterNavigation.h"
#include "ui/ClickableLabel.h"
#include "ui/UiService.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

const std::vector<MenuDefinition>& mainMenuDefinitions()
{
    static const std::vector<MenuDefinition> menus = {
        {"売上", "売上", true, false,
         {{"売上伝票", "売上伝票入力", "frm売上"},
          {"売上税率別", "税率別売上一覧", "frm税率別売上一覧"}}},
        {"ガス", "ガス", true, false,
         {{"ガス入力", "ガス入力", "frmガス入力"},
          {"ガス配送予定", "配送予定", "frmガス配送予定"},
          {"ガス集計", "ガス集計", "frmガス集計"}}},
        // The floppy menu has never had items and is never enabled.
        {"FD処理", "ＦＤ処理", false, false, {}},
        {"売掛管理", "売掛管理", true, false,
         {{"売掛入金", "入金", "frm売掛入金"},
          {nullptr, nullptr, nullptr},
          {"売掛請求書発行", "請求書発行", "frm売掛請求書発行"},
          {"売掛領収書発行", "領収書発行", "frm売掛領収書発行"},
          {nullptr, nullptr, nullptr},
          {"売掛残高変更", "残高変更", "frm売掛残高変更"},
          {"売掛残高一覧", "掛残高一覧発行", "frm売掛残高一覧"},
          {nullptr, nullptr, nullptr},
          {"売掛FD出力", "ＦＤ(銀行引落)出力", "frm売掛FD出力"},
          {"売掛FD入力", "ＦＤ（銀行引落）後処理", "frm売掛FD入力"}}},
        {"経理入力", "経理入力", true, false,
         {{"経理仕入", "仕入", "frm仕入"},
          {nullptr, nullptr, nullptr},
          {"経理経費", "経費入力", "frm経費"},
          {nullptr, nullptr, nullptr},
          {"経理経理入力", "経理入力", "frm経理入力"}}},
        {"経理処理", "経理処理", false, true,
         {{"経理残高資産表", "残高試算表出力", "frm経理残高試算表"},
          {"経理振替伝票", "振替伝票出力", "frm経理振替伝票"},
          {"経理勘定帳", "各勘定帳出力", "frm経理勘定帳"}}},
        {"顧客管理", "顧客管理", true, false,
         {{"顧客新規登録", "新規登録", "frm顧客新規登録"},
          {"顧客変更", "変更・削除", "frm顧客変更"}}},
        {"顧客処理", "顧客処理", true, false,
         {{"顧客米予定", "米予定出力", "frm顧客米予定"},
          {"顧客灯油予定", "灯油予定出力", "frm顧客灯油予定"},
          {"顧客実績", "実績出力", "frm顧客実績表示"}}},
        {"商品管理", "商品管理", false, true,
         {{"商品部門", "部門設定変更", "frm商品部門"},
          {"商品商品", "商品設定変更", "frm商品商品"},
          {nullptr, nullptr, nullptr},
          {"商品販売数", "販売数集計", "frm商品販売数"},
          {"商品税区分", "税区分設定", "frm商品税区分"}}},
        {"設定", "設定", false, true,
         {{"設定店コード", "店コード設定", "frm設定店コード"},
          {"設定担当者", "担当者名設定", "frm設定担当者"},
          {"設定仕入先", "仕入先設定", "frm設定仕入先"},
          {"設定経費先", "経費先設定", "frm設定経費先"},
          {nullptr, nullptr, nullptr},
          {"設定決済方法", "決済方法設定", "frm設定決済方法"},
          {"設定引落銀行", "引落銀行設定", "frm設定引落銀行"},
          {"設定口座種別", "引落口座種別設定", "frm設定口座種別"},
          {"設定売掛条件", "売掛条件設定", "frm設定売掛条件"},
          {nullptr, nullptr, nullptr},
          {"設定米サービスレベル", "米サービスレベル設定", "frm設定米サービスレべル"},
          {"設定灯油サービスレベル", "灯油サービスレベル設定", "frm設定灯油サービスレベル"},
          {"設定ガスタイプ", "顧客ガスタイプ設定", "frm設定ガスタイプ"},
          {"設定ガスデータ種別", "ガスデータ種別設定", "frm設定ガスデータ種別"},
          {nullptr, nullptr, nullptr},
          {"設定勘定科目", "勘定科目設定", "frm設定勘定科目"},
          {"設定売上種別", "売上種別コード設定", "frm設定売上種別"},
          {nullptr, nullptr, nullptr},
          {"設定会社", "会社設定", "frm設定会社"},
          {nullptr, nullptr, nullptr},
          {"バージョン情報", "バージョン情報", "frmAbout"}}},
        {"更新", "更新・データ削除", false, true,
         {{"更新日次", "日次更新", "frm更新日次"},
          {"更新年次", "年次更新", "frm更新年次"},
          {nullptr, nullptr, nullptr},
          {"削除売上商品データ", "削除売上商品データ", "frm削除商品"},
          {"削除ガスデータ", "削除ガスデータ", "frm削除ガス"},
          {nullptr, nullptr, nullptr},
          {"バックアップ", "データファイル　バックアップ", "frmバックアップ"},
          {"旧データ取り込み", "旧データの取り込み", "frm旧データ取り込み"},
          {"サーバー移行", "データベースの移行", "frmサーバー移行"}}},
    };
    return menus;
}

namespace {

QPushButton* bigButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    QFont font = button->font();
    font.setPointSize(18);
    button->setFont(font);
    button->setMinimumSize(180, 72);
    return button;
}

} // namespace

frmTQメイン::frmTQメイン(SessionState& state, QWidget* parent) : QMainWindow(parent), state_(state)
{
    setObjectName(QStringLiteral("frmTQメイン"));
    setWindowTitle(state_.config.companyName() + QStringLiteral("　管理プログラム"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(32, 24, 32, 32);
    layout->setSpacing(24);

    auto* title = new ClickableLabel(QStringLiteral("ひまわり帳"), central);
    titleLabel = title;
    titleLabel->setObjectName(QStringLiteral("Label1"));
    titleLabel->setAlignment(Qt::AlignCenter);
    QFont titleFont = titleLabel->font();
    titleFont.setPointSize(36);
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);
    titleLabel->setCursor(Qt::PointingHandCursor);
    titleLabel->setToolTip(QStringLiteral("管理者用"));
    title->setOnClick([this] { openAdministratorScreen(); });
    layout->addWidget(titleLabel);

    auto* buttons = new QGridLayout;
    buttons->setSpacing(16);
    salesButton = bigButton(central, "cmd売上", "売上");
    gasInputButton = bigButton(central, "cmdガス入力", "ガス入力");
    paymentButton = bigButton(central, "cmd売掛入金", "売掛入金");
    exitButton = bigButton(central, "cmd終了", "終了");
    buttons->addWidget(salesButton, 0, 0);
    buttons->addWidget(gasInputButton, 0, 1);
    buttons->addWidget(paymentButton, 1, 0);
    buttons->addWidget(exitButton, 1, 1);
    layout->addLayout(buttons);
    setCentralWidget(central);

    connect(salesButton, &QPushButton::clicked, this, [this] { openFromMenu(QStringLiteral("frm売上"), QStringLiteral("売上")); });
    connect(gasInputButton, &QPushButton::clicked, this,
            [this] { openFromMenu(QStringLiteral("frmガス入力"), QStringLiteral("ガス入力")); });
    connect(paymentButton, &QPushButton::clicked, this,
            [this] { openFromMenu(QStringLiteral("frm売掛入金"), QStringLiteral("売掛入金")); });
    // Nothing needs saving on exit: every screen writes when it stores.
    connect(exitButton, &QPushButton::clicked, this, [this] { close(); });
    // Enter on a focused button opens its screen, as on every screen.
    enableEnterNavigation(this);

    buildMenus();
    // Wide enough for the whole menu bar: a menu folded away behind the
    // overflow arrow is one the operator cannot find.
    int menuWidth = 0;
    for (QAction* top : menuBar()->actions())
        menuWidth += menuBar()->actionGeometry(top).width();
    setMinimumWidth(std::max(menuWidth, menuBar()->sizeHint().width()) + 24);
}

void frmTQメイン::buildMenus()
{
    QMenuBar* bar = menuBar();
    for (const MenuDefinition& def : mainMenuDefinitions()) {
        QMenu* m = bar->addMenu(QString::fromUtf8(def.caption));
        m->setObjectName(QString::fromUtf8(def.objectName));
        m->menuAction()->setObjectName(QString::fromUtf8(def.objectName));
        m->menuAction()->setEnabled(def.enabledAtStart);
        m->setEnabled(def.enabledAtStart);
        for (const MenuItemDefinition& item : def.items) {
            if (!item.objectName) {
                m->addSeparator();
                continue;
            }
            QAction* action = m->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QString::fromUtf8(item.objectName));
            const QString screen = QString::fromUtf8(item.screen);
            const QString caption = QString::fromUtf8(item.caption);
            connect(action, &QAction::triggered, this, [this, screen, caption] { openFromMenu(screen, caption); });
        }
    }
    // Whether every print-out is shown on screen before it is printed, for
    // the rest of the session.
    QMenu* printing = bar->addMenu(QStringLiteral("印刷"));
    printing->setObjectName(QStringLiteral("印刷"));
    printing->menuAction()->setObjectName(QStringLiteral("印刷"));
    QAction* preview = printing->addAction(QStringLiteral("印刷前にプレビューする"));
    preview->setObjectName(QStringLiteral("印刷プレビュー"));
    preview->setCheckable(true);
    preview->setChecked(previewBeforePrinting());
    connect(preview, &QAction::toggled, this, [](bool on) { setPreviewBeforePrinting(on); });
}

QMenu* frmTQメイン::menu(const QString& objectName) const
{
    for (QMenu* m : menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        if (m->objectName() == objectName)
            return m;
    return nullptr;
}

void frmTQメイン::unlockAdministratorMenus()
{
    for (const MenuDefinition& def : mainMenuDefinitions()) {
        if (!def.unlockedByAdministrator)
            continue;
        if (QMenu* m = menu(QString::fromUtf8(def.objectName))) {
            m->setEnabled(true);
            m->menuAction()->setEnabled(true);
        }
    }
}

void frmTQメイン::openAdministratorScreen()
{
    frm管理者 dialog(state_.config.adminCode, this);
    dialog.onUnlock = [this] { unlockAdministratorMenus(); };
    ui().runModal(dialog);
}

void frmTQメイン::openFromMenu(const QString& screen, const QString& caption)
{
    if (screen == QStringLiteral("frmAbout")) {
        frmAbout about(this);
        ui().runModal(about);
        return;
    }
    if (screen == QStringLiteral("frm顧客実績表示")) {
        showCustomerResults();
        return;
    }
    openScreen(state_, screen, caption, this);
}

// "実績出力" picks the customer first, then shows the results screen with
// its "前回どおり" button hidden (that button belongs to the sales flow).
void frmTQメイン::showCustomerResults()
{
    if (!isScreenAvailable(QStringLiteral("frm顧客選択")) || !isScreenAvailable(QStringLiteral("frm顧客実績表示"))) {
        ui().showMessage(notAvailableMessage(QStringLiteral("実績出力")), QStringLiteral("お知らせ"));
        return;
    }
    // No customer chosen (the picker closed by its close box): no results.
    if (openScreen(state_, QStringLiteral("frm顧客選択"), QStringLiteral("顧客選択"), this) != QDialog::Accepted)
        return;
    const auto hideRepeatButton = [](QDialog& screen) {
        if (auto* repeat = screen.findChild<QPushButton*>(QStringLiteral("Command2")))
            repeat->setVisible(false);
    };
    openScreen(state_, QStringLiteral("frm顧客実績表示"), QStringLiteral("実績出力"), this, hideRepeatButton);
}
