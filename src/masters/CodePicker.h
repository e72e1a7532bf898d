#pragma once
// The code pickers: a small modal dialog with a list of one code table's
// names, "ＯＫ" and "キャンセル". The caller hands the picker its current
// code (pickCode does); a click on a name makes that name's code the one
// returned and shows "ＯＫ"; "ＯＫ" keeps it, "キャンセル" puts the caller's
// code back, and the window's close box leaves whatever was chosen last.

#include "db/Database.h"
#include "masters/MasterValues.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <vector>

class QListView;
class QPushButton;
class ValueQueryModel;
struct SessionState;

struct CodePickerDefinition {
    QString screenName;
    QString title;
    QString table;
    QString shownColumn;    // what the list shows
    QString returnedColumn; // the code a name stands for
};

// The nine pickers' definitions.
const std::vector<CodePickerDefinition>& codePickerDefinitions();

class CodePicker : public QDialog {
public:
    ~CodePicker() override;

    QListView* nameList;        // DBList1: the names
    ValueQueryModel* codeModel; // Data1, the list's record source: code, name
    QPushButton* okButton;      // Command1 "ＯＫ", hidden until a name is clicked
    QPushButton* cancelButton;  // Command2 "キャンセル"

    void chooseName(int row); // a click on the list row
    void confirm();           // "ＯＫ"
    void cancel();            // "キャンセル"

    const CodePickerDefinition& definition() const { return definition_; }
    // The names the list shows, top to bottom.
    QStringList shownNames() const;

    // The caller's current code: marked in the list (not chosen) and
    // returned until a name is chosen. A new picker starts from 0.
    void setPreviousCode(std::int32_t code);
    std::int32_t previousCode() const { return previousCode_; }
    // The code the picker returns as it stands.
    std::int32_t returnedCode() const { return returnedCode_; }
    // Called with the returned code whenever it changes, so that the caller
    // still has it once the picker is gone.
    void reportReturnedCode(std::function<void(std::int32_t)> report) { report_ = std::move(report); }

protected:
    CodePicker(SessionState& state, const CodePickerDefinition& definition, QWidget* parent);

private:
    void setReturnedCode(std::int32_t code);

    CodePickerDefinition definition_;
    Database db_;
    std::int32_t previousCode_ = 0;
    std::int32_t returnedCode_ = 0;
    std::function<void(std::int32_t)> report_;
};

// Opens the picker `screenName` for a caller whose current code is
// `currentCode`, and returns the code the picker returns: the chosen one,
// or `currentCode` when nothing was chosen, the picker was cancelled or is
// not available.
std::int32_t pickCode(SessionState& state, const QString& screenName, std::int32_t currentCode, QWidget* parent);

class frm店コード選択 : public CodePicker {
public:
    explicit frm店コード選択(SessionState& state, QWidget* parent = nullptr);
};
class frm担当者選択 : public CodePicker {
public:
    explicit frm担当者選択(SessionState& state, QWidget* parent = nullptr);
};
class frm売掛条件選択 : public CodePicker {
public:
    explicit frm売掛条件選択(SessionState& state, QWidget* parent = nullptr);
};
class frm決済方法選択 : public CodePicker {
public:
    explicit frm決済方法選択(SessionState& state, QWidget* parent = nullptr);
};
class frm引落銀行選択 : public CodePicker {
public:
    explicit frm引落銀行選択(SessionState& state, QWidget* parent = nullptr);
};
class frm口座種別選択 : public CodePicker {
public:
    explicit frm口座種別選択(SessionState& state, QWidget* parent = nullptr);
};
class frm米サービスレベル選択 : public CodePicker {
public:
    explicit frm米サービスレベル選択(SessionState& state, QWidget* parent = nullptr);
};
class frm灯油サービスレベル選択 : public CodePicker {
public:
    explicit frm灯油サービスレベル選択(SessionState& state, QWidget* parent = nullptr);
};
class frm勘定科目選択 : public CodePicker {
public:
    explicit frm勘定科目選択(SessionState& state, QWidget* parent = nullptr);
};
