#include "masters/CodePicker.h"

#include "ui/Screens.h"
#include "session/Session.h"
#include "ui/ValueModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

const std::vector<CodePickerDefinition>& codePickerDefinitions()
{
    static const std::vector<CodePickerDefinition> definitions = {
        {QStringLiteral("frm店コード選択"), QStringLiteral("店コード選択"), QStringLiteral("店コードＴＢＬ"),
         QStringLiteral("店名"), QStringLiteral("店コード")},
        {QStringLiteral("frm担当者選択"), QStringLiteral("担当者選択"), QStringLiteral("担当者コードＴＢＬ"),
         QStringLiteral("担当者名"), QStringLiteral("担当者コード")},
        {QStringLiteral("frm売掛条件選択"), QStringLiteral("売掛条件選択"), QStringLiteral("売掛条件ＴＢＬ"),
         QStringLiteral("売掛条件"), QStringLiteral("売掛条件ＩＤ")},
        {QStringLiteral("frm決済方法選択"), QStringLiteral("決済方法選択"), QStringLiteral("決済方法ＴＢＬ"),
         QStringLiteral("決済方法"), QStringLiteral("決済方法コード")},
        {QStringLiteral("frm引落銀行選択"), QStringLiteral("引落銀行選択"), QStringLiteral("引落銀行ＴＢＬ"),
         QStringLiteral("引落銀行名"), QStringLiteral("引落銀行コード")},
        {QStringLiteral("frm口座種別選択"), QStringLiteral("口座種別選択"), QStringLiteral("引落口座種別ＴＢＬ"),
         QStringLiteral("引落口座種別"), QStringLiteral("引落口座種別コード")},
        {QStringLiteral("frm米サービスレベル選択"), QStringLiteral("米サービスレベル選択"),
         QStringLiteral("米サービスレベルＴＢＬ"), QStringLiteral("米サービスレベル"), QStringLiteral("米ＳＬＩＤ")},
        {QStringLiteral("frm灯油サービスレベル選択"), QStringLiteral("灯油サービスレベル選択"),
         QStringLiteral("灯油サービスレベルＴＢＬ"), QStringLiteral("灯油サービスレベル"), QStringLiteral("灯油ＳＬＩＤ")},
        {QStringLiteral("frm勘定科目選択"), QStringLiteral("勘定科目選択"), QStringLiteral("勘定科目TBL"),
         QStringLiteral("勘定科目名"), QStringLiteral("科目番号")},
    };
    return definitions;
}

namespace {

const CodePickerDefinition& pickerDefinition(const QString& screenName)
{
    for (const CodePickerDefinition& definition : codePickerDefinitions())
        if (definition.screenName == screenName)
            return definition;
    throw std::out_of_range("no code picker named " + screenName.toStdString());
}

} // namespace

CodePicker::CodePicker(SessionState& state, const CodePickerDefinition& definition, QWidget* parent)
    : QDialog(parent), definition_(definition), db_(state.config.databasePath)
{
    setObjectName(definition_.screenName);
    setWindowTitle(definition_.title);

    auto* label = new QLabel(definition_.shownColumn + QStringLiteral("(&L)"), this);
    nameList = new QListView(this);
    nameList->setObjectName(QStringLiteral("DBList1"));
    nameList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    nameList->setSelectionMode(QAbstractItemView::SingleSelection);
    nameList->setMinimumSize(260, 240);
    label->setBuddy(nameList);

    codeModel = new ValueQueryModel(this);
    codeModel->setObjectName(QStringLiteral("Data1"));
    codeModel->setStatement(db_, QStringLiteral("SELECT \"%1\", \"%2\" FROM \"%3\" ORDER BY \"%1\"")
                                 .arg(definition_.returnedColumn, definition_.shownColumn, definition_.table));
    codeModel->rowCountAll();
    nameList->setModel(codeModel);
    nameList->setModelColumn(1);

    okButton = new QPushButton(QStringLiteral("ＯＫ"), this);
    okButton->setObjectName(QStringLiteral("Command1"));
    okButton->setMinimumSize(100, 32);
    cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    cancelButton->setAutoDefault(false);
    cancelButton->setMinimumSize(100, 32);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(nameList, 1);
    layout->addLayout(buttons);

    connect(nameList, &QListView::clicked, this, [this](const QModelIndex& index) { chooseName(index.row()); });
    // A double click (or Enter) on a name chooses it and confirms at once.
    connect(nameList, &QListView::activated, this, [this](const QModelIndex& index) {
        chooseName(index.row());
        confirm();
    });
    connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });

    setPreviousCode(0);
    okButton->setVisible(false);
    nameList->setFocus();
}

void CodePicker::setPreviousCode(std::int32_t code)
{
    // Until a name is clicked the picker returns the caller's code; the
    // caller's current choice is marked in the list but not chosen.
    previousCode_ = code;
    setReturnedCode(code);
    for (int row = 0; row < codeModel->rowCount(); ++row)
        if (codeModel->storedData(row, 0).toLongLong() == code) {
            const QModelIndex index = codeModel->index(row, 1);
            nameList->setCurrentIndex(index);
            nameList->scrollTo(index);
            return;
        }
    if (nameList->currentIndex().isValid())
        nameList->setCurrentIndex(QModelIndex());
}

void CodePicker::setReturnedCode(std::int32_t code)
{
    returnedCode_ = code;
    if (report_)
        report_(code);
}

CodePicker::~CodePicker()
{
    codeModel->clear();
}

QStringList CodePicker::shownNames() const
{
    QStringList names;
    for (int row = 0; row < codeModel->rowCount(); ++row)
        names << codeModel->index(row, 1).data().toString();
    return names;
}

void CodePicker::chooseName(int row)
{
    if (row < 0 || row >= codeModel->rowCount())
        return;
    setReturnedCode(std::int32_t(codeModel->storedData(row, 0).toLongLong()));
    okButton->setVisible(true);
    okButton->setDefault(true);
}

void CodePicker::confirm()
{
    accept();
}

void CodePicker::cancel()
{
    setReturnedCode(previousCode_);
    reject();
}

std::int32_t pickCode(SessionState& state, const QString& screenName, std::int32_t currentCode, QWidget* parent)
{
    QString caption = screenName;
    for (const CodePickerDefinition& definition : codePickerDefinitions())
        if (definition.screenName == screenName)
            caption = definition.title;
    // The picker reports its code as it changes: the close box ends it
    // with whatever was chosen last, and it is gone when openScreen returns.
    std::int32_t returned = currentCode;
    openScreen(state, screenName, caption, parent, [&](QDialog& screen) {
        if (auto* picker = dynamic_cast<CodePicker*>(&screen)) {
            picker->setPreviousCode(currentCode);
            picker->reportReturnedCode([&returned](std::int32_t code) { returned = code; });
        }
    });
    return returned;
}

frm店コード選択::frm店コード選択(SessionState& state, QWidget* parent) : CodePicker(state, pickerDefinition(QStringLiteral("frm店コード選択")), parent) {}
frm担当者選択::frm担当者選択(SessionState& state, QWidget* parent) : CodePicker(state, pickerDefinition(QStringLiteral("frm担当者選択")), parent) {}
frm売掛条件選択::frm売掛条件選択(SessionState& state, QWidget* parent)
    : CodePicker(state, pickerDefinition(QStringLiteral("frm売掛条件選択")), parent)
{
}
frm決済方法選択::frm決済方法選択(SessionState& state, QWidget* parent)
    : CodePicker(state, pickerDefinition(QStringLiteral("frm決済方法選択")), parent)
{
}
frm引落銀行選択::frm引落銀行選択(SessionState& state, QWidget* parent)
    : CodePicker(state, pickerDefinition(QStringLiteral("frm引落銀行選択")), parent)
{
}
frm口座種別選択::frm口座種別選択(SessionState& state, QWidget* parent)
    : CodePicker(state, pickerDefinition(QStringLiteral("frm口座種別選択")), parent)
{
}
frm米サービスレベル選択::frm米サービスレベル選択(SessionState& state, QWidget* parent)
    : CodePicker(state, pickerDefinition(QStringLiteral("frm米サービスレベル選択")), parent)
{
}
frm灯油サービスレベル選択::frm灯油サービスレベル選択(SessionState& state, QWidget* parent)
    : CodePicker(state, pickerDefinition(QStringLiteral("frm灯油サービスレベル選択")), parent)
{
}
frm勘定科目選択::frm勘定科目選択(SessionState& state, QWidget* parent)
    : CodePicker(state, pickerDefinition(QStringLiteral("frm勘定科目選択")), parent)
{
}
