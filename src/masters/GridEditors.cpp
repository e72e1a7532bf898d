#include "masters/GridEditors.h"

#include <stdexcept>

const std::vector<GridEditorDefinition>& gridEditorDefinitions()
{
    // Record sources: a whole table, or the rows a condition selects in
    // code order. The supplier and expense-payee editors share one table:
    // codes below 10000 are suppliers, from 10000 up expense payees.
    static const std::vector<GridEditorDefinition> definitions = {
        {QStringLiteral("frm設定店コード"), QStringLiteral("店コードTBL"), QStringLiteral("店コードＴＢＬ"),
         QString(), false, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定担当者"), QStringLiteral("担当者コードTBL"), QStringLiteral("担当者コードＴＢＬ"),
         QString(), false, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定仕入先"), QStringLiteral("仕入先設定"), QStringLiteral("経理借方相手先ＴＢＬ"),
         QStringLiteral("\"経理仕入経費先コード\" < 10000"), true, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定経費先"), QStringLiteral("経理借方相手先ＴＢＬ"), QStringLiteral("経理借方相手先ＴＢＬ"),
         QStringLiteral("\"経理仕入経費先コード\" >= 10000"), true, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定決済方法"), QStringLiteral("決済方法"), QStringLiteral("決済方法ＴＢＬ"),
         QString(), false, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定引落銀行"), QStringLiteral("引落銀行ＴＢＬ"), QStringLiteral("引落銀行ＴＢＬ"),
         QString(), false, true, GridErrorWording::DataErrorEvent},
        {QStringLiteral("frm設定口座種別"), QStringLiteral("設定引落口座種別"), QStringLiteral("引落口座種別ＴＢＬ"),
         QString(), false, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定売掛条件"), QStringLiteral("売掛条件ＴＢＬ"), QStringLiteral("売掛条件ＴＢＬ"),
         QString(), false, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定米サービスレべル"), QStringLiteral("設定米サービスレべル"), QStringLiteral("米サービスレベルＴＢＬ"),
         QString(), false, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定灯油サービスレベル"), QStringLiteral("設定灯油サービスレベル"), QStringLiteral("灯油サービスレベルＴＢＬ"),
         QString(), false, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定ガスタイプ"), QStringLiteral("顧客ガスタイプＴＢＬ"), QStringLiteral("顧客ガスタイプＴＢＬ"),
         QString(), false, true, GridErrorWording::DataErrorEvent},
        {QStringLiteral("frm設定ガスデータ種別"), QStringLiteral("ガスデータ種別コードＴＢＬ"), QStringLiteral("ガスデータ種別コードＴＢＬ"),
         QString(), true, true, GridErrorWording::DataErrorEvent},
        {QStringLiteral("frm設定勘定科目"), QStringLiteral("設定勘定科目"), QStringLiteral("勘定科目TBL"),
         QString(), false, true, GridErrorWording::Plain},
        {QStringLiteral("frm設定売上種別"), QStringLiteral("売上種別コードＴＢＬ"), QStringLiteral("売上種別コードＴＢＬ"),
         QString(), false, true, GridErrorWording::Plain},
        {QStringLiteral("frm商品部門"), QStringLiteral("商品部門マスター"), QStringLiteral("商品部門マスター"),
         QString(), false, false, GridErrorWording::Plain},
        {QStringLiteral("frm商品商品"), QStringLiteral("商品マスター"), QStringLiteral("商品マスター"),
         QString(), false, true, GridErrorWording::ProductMaster},
        {QStringLiteral("frm商品税区分"), QStringLiteral("商品税区分"), QStringLiteral("税区分ＴＢＬ"),
         QString(), false, true, GridErrorWording::Plain},
    };
    return definitions;
}

const GridEditorDefinition& gridEditorDefinition(const QString& screenName)
{
    for (const GridEditorDefinition& definition : gridEditorDefinitions())
        if (definition.screenName == screenName)
            return definition;
    throw std::out_of_range("no grid editor named " + screenName.toStdString());
}

frm設定店コード::frm設定店コード(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定店コード")), parent) {}
frm設定担当者::frm設定担当者(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定担当者")), parent) {}
frm設定仕入先::frm設定仕入先(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定仕入先")), parent) {}
frm設定経費先::frm設定経費先(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定経費先")), parent) {}
frm設定決済方法::frm設定決済方法(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定決済方法")), parent) {}
frm設定引落銀行::frm設定引落銀行(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定引落銀行")), parent) {}
frm設定口座種別::frm設定口座種別(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定口座種別")), parent) {}
frm設定売掛条件::frm設定売掛条件(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定売掛条件")), parent) {}
frm設定米サービスレべル::frm設定米サービスレべル(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定米サービスレべル")), parent) {}
frm設定灯油サービスレベル::frm設定灯油サービスレベル(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定灯油サービスレベル")), parent) {}
frm設定ガスタイプ::frm設定ガスタイプ(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定ガスタイプ")), parent) {}
frm設定ガスデータ種別::frm設定ガスデータ種別(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定ガスデータ種別")), parent) {}
frm設定勘定科目::frm設定勘定科目(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定勘定科目")), parent) {}
frm設定売上種別::frm設定売上種別(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm設定売上種別")), parent) {}
frm商品部門::frm商品部門(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm商品部門")), parent) {}
frm商品商品::frm商品商品(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm商品商品")), parent) {}
frm商品税区分::frm商品税区分(SessionState& state, QWidget* parent) : GridEditor(state, gridEditorDefinition(QStringLiteral("frm商品税区分")), parent) {}
