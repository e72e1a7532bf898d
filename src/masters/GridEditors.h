#pragma once
// The seventeen code-table editors: one GridEditor each, differing only in
// their name, window title, record source and the wording of refusals.

#include "masters/GridEditor.h"

#include <vector>

// Every editor's definition, in the order of the menus.
const std::vector<GridEditorDefinition>& gridEditorDefinitions();
// The definition of the editor `screenName`; throws std::out_of_range for a
// name that is no editor.
const GridEditorDefinition& gridEditorDefinition(const QString& screenName);


class frm設定店コード : public GridEditor {
public:
    explicit frm設定店コード(SessionState& state, QWidget* parent = nullptr);
};

class frm設定担当者 : public GridEditor {
public:
    explicit frm設定担当者(SessionState& state, QWidget* parent = nullptr);
};

class frm設定仕入先 : public GridEditor {
public:
    explicit frm設定仕入先(SessionState& state, QWidget* parent = nullptr);
};

class frm設定経費先 : public GridEditor {
public:
    explicit frm設定経費先(SessionState& state, QWidget* parent = nullptr);
};

class frm設定決済方法 : public GridEditor {
public:
    explicit frm設定決済方法(SessionState& state, QWidget* parent = nullptr);
};

class frm設定引落銀行 : public GridEditor {
public:
    explicit frm設定引落銀行(SessionState& state, QWidget* parent = nullptr);
};

class frm設定口座種別 : public GridEditor {
public:
    explicit frm設定口座種別(SessionState& state, QWidget* parent = nullptr);
};

class frm設定売掛条件 : public GridEditor {
public:
    explicit frm設定売掛条件(SessionState& state, QWidget* parent = nullptr);
};

class frm設定米サービスレべル : public GridEditor {
public:
    explicit frm設定米サービスレべル(SessionState& state, QWidget* parent = nullptr);
};

class frm設定灯油サービスレベル : public GridEditor {
public:
    explicit frm設定灯油サービスレベル(SessionState& state, QWidget* parent = nullptr);
};

class frm設定ガスタイプ : public GridEditor {
public:
    explicit frm設定ガスタイプ(SessionState& state, QWidget* parent = nullptr);
};

class frm設定ガスデータ種別 : public GridEditor {
public:
    explicit frm設定ガスデータ種別(SessionState& state, QWidget* parent = nullptr);
};

class frm設定勘定科目 : public GridEditor {
public:
    explicit frm設定勘定科目(SessionState& state, QWidget* parent = nullptr);
};

class frm設定売上種別 : public GridEditor {
public:
    explicit frm設定売上種別(SessionState& state, QWidget* parent = nullptr);
};

class frm商品部門 : public GridEditor {
public:
    explicit frm商品部門(SessionState& state, QWidget* parent = nullptr);
};

class frm商品商品 : public GridEditor {
public:
    explicit frm商品商品(SessionState& state, QWidget* parent = nullptr);
};

class frm商品税区分 : public GridEditor {
public:
    explicit frm商品税区分(SessionState& state, QWidget* parent = nullptr);
};
