#include "masters/MasterScreens.h"

#include "ui/Screens.h"
#include "masters/CodePicker.h"
#include "masters/CompanySettings.h"
#include "masters/GridEditors.h"

namespace {

template <class Screen>
void add(const char* name)
{
    registerScreen(QString::fromUtf8(name), [](SessionState& state, QWidget* parent) -> QDialog* { return new Screen(state, parent); });
}

} // namespace

void registerMasterScreens()
{
    add<frm設定店コード>("frm設定店コード");
    add<frm設定担当者>("frm設定担当者");
    add<frm設定仕入先>("frm設定仕入先");
    add<frm設定経費先>("frm設定経費先");
    add<frm設定決済方法>("frm設定決済方法");
    add<frm設定引落銀行>("frm設定引落銀行");
    add<frm設定口座種別>("frm設定口座種別");
    add<frm設定売掛条件>("frm設定売掛条件");
    add<frm設定米サービスレべル>("frm設定米サービスレべル");
    add<frm設定灯油サービスレベル>("frm設定灯油サービスレベル");
    add<frm設定ガスタイプ>("frm設定ガスタイプ");
    add<frm設定ガスデータ種別>("frm設定ガスデータ種別");
    add<frm設定勘定科目>("frm設定勘定科目");
    add<frm設定売上種別>("frm設定売上種別");
    add<frm商品部門>("frm商品部門");
    add<frm商品商品>("frm商品商品");
    add<frm商品税区分>("frm商品税区分");

    add<frm店コード選択>("frm店コード選択");
    add<frm担当者選択>("frm担当者選択");
    add<frm売掛条件選択>("frm売掛条件選択");
    add<frm決済方法選択>("frm決済方法選択");
    add<frm引落銀行選択>("frm引落銀行選択");
    add<frm口座種別選択>("frm口座種別選択");
    add<frm米サービスレベル選択>("frm米サービスレベル選択");
    add<frm灯油サービスレベル選択>("frm灯油サービスレベル選択");
    add<frm勘定科目選択>("frm勘定科目選択");

    add<frm設定会社>("frm設定会社");
}
