#include "masters/CodePicker.h"

#include "session/Screens.h"
#include "session/Session.h"
#include "core/Text.h"
#include "ui/ValueModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <limits>
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

CodePicker::CodePicker(const CodePickerDefinition& definition, QWidget* parent)
    : QDialog(parent), definition_(definition), db_(session().config.databasePath)
{
    setObjectName(definition_.screenName);
    setWindowTitle(definition_.title);

    auto* label = new QLabel(definition_.shownColumn + QStringLiteral("(&L)"), this);
    DBList1 = new QListView(this);
    DBList1->setObjectName(QStringLiteral("DBList1"));
    DBList1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBList1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBList1->setMinimumSize(260, 240);
    label->setBuddy(DBList1);

    Data1 = new ValueQueryModel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setStatement(db_, QStringLiteral("SELECT \"%1\", \"%2\" FROM \"%3\" ORDER BY \"%1\"")
                                 .arg(definition_.returnedColumn, definition_.shownColumn, definition_.table));
    Data1->rowCountAll();
    DBList1->setModel(Data1);
    DBList1->setModelColumn(1);

    Command1 = new QPushButton(QStringLiteral("ＯＫ"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setMinimumSize(100, 32);
    Command2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    Command2->setMinimumSize(100, 32);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(DBList1, 1);
    layout->addLayout(buttons);

    connect(DBList1, &QListView::clicked, this, [this](const QModelIndex& index) { DBList1_Click(index.row()); });
    // A double click (or Enter) on a name chooses it and confirms at once.
    connect(DBList1, &QListView::activated, this, [this](const QModelIndex& index) {
        DBList1_Click(index.row());
        Command1_Click();
    });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    // Until a name is clicked the picker returns the caller's code; the
    // caller's current choice is marked in the list but not chosen.
    SessionState& s = session();
    s.pickerReturnedCode = s.pickerPreviousCode;
    for (int row = 0; row < Data1->rowCount(); ++row)
        if (Data1->storedData(row, 0).toLongLong() == s.pickerPreviousCode) {
            const QModelIndex index = Data1->index(row, 1);
            DBList1->setCurrentIndex(index);
            DBList1->scrollTo(index);
            break;
        }
    Command1->setVisible(false);
    DBList1->setFocus();
}

CodePicker::~CodePicker()
{
    Data1->clear();
}

QStringList CodePicker::shownNames() const
{
    QStringList names;
    for (int row = 0; row < Data1->rowCount(); ++row)
        names << Data1->index(row, 1).data().toString();
    return names;
}

void CodePicker::DBList1_Click(int row)
{
    if (row < 0 || row >= Data1->rowCount())
        return;
    session().pickerReturnedCode = std::int32_t(Data1->storedData(row, 0).toLongLong());
    Command1->setVisible(true);
    Command1->setDefault(true);
}

void CodePicker::Command1_Click()
{
    accept();
}

void CodePicker::Command2_Click()
{
    session().pickerReturnedCode = session().pickerPreviousCode;
    reject();
}

std::int32_t codeOfText(const QString& text)
{
    const double value = std::nearbyint(text::Val(text)); // half to even
    if (!(value >= double(std::numeric_limits<std::int32_t>::min())
          && value <= double(std::numeric_limits<std::int32_t>::max())))
        return 0;
    return std::int32_t(value);
}

std::int32_t pickCode(const QString& screenName, std::int32_t currentCode, QWidget* parent)
{
    SessionState& s = session();
    s.pickerPreviousCode = currentCode;
    s.pickerReturnedCode = currentCode;
    QString caption = screenName;
    for (const CodePickerDefinition& definition : codePickerDefinitions())
        if (definition.screenName == screenName)
            caption = definition.title;
    openScreen(screenName, caption, parent);
    return session().pickerReturnedCode;
}

frm店コード選択::frm店コード選択(QWidget* parent) : CodePicker(pickerDefinition(QStringLiteral("frm店コード選択")), parent) {}
frm担当者選択::frm担当者選択(QWidget* parent) : CodePicker(pickerDefinition(QStringLiteral("frm担当者選択")), parent) {}
frm売掛条件選択::frm売掛条件選択(QWidget* parent)
    : CodePicker(pickerDefinition(QStringLiteral("frm売掛条件選択")), parent)
{
}
frm決済方法選択::frm決済方法選択(QWidget* parent)
    : CodePicker(pickerDefinition(QStringLiteral("frm決済方法選択")), parent)
{
}
frm引落銀行選択::frm引落銀行選択(QWidget* parent)
    : CodePicker(pickerDefinition(QStringLiteral("frm引落銀行選択")), parent)
{
}
frm口座種別選択::frm口座種別選択(QWidget* parent)
    : CodePicker(pickerDefinition(QStringLiteral("frm口座種別選択")), parent)
{
}
frm米サービスレベル選択::frm米サービスレベル選択(QWidget* parent)
    : CodePicker(pickerDefinition(QStringLiteral("frm米サービスレベル選択")), parent)
{
}
frm灯油サービスレベル選択::frm灯油サービスレベル選択(QWidget* parent)
    : CodePicker(pickerDefinition(QStringLiteral("frm灯油サービスレベル選択")), parent)
{
}
frm勘定科目選択::frm勘定科目選択(QWidget* parent)
    : CodePicker(pickerDefinition(QStringLiteral("frm勘定科目選択")), parent)
{
}
