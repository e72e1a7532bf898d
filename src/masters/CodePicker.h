#pragma once
// The code pickers: a small modal dialog with a list of one code table's
// names, "ＯＫ" and "キャンセル". The caller puts its current code in
// session().pickerPreviousCode and opens the picker; a click on a name
// stores that name's code in session().pickerReturnedCode and shows
// "ＯＫ"; "ＯＫ" keeps it, "キャンセル" puts the previous code back, and the
// window's close box leaves whatever was stored last.

#include "db/Database.h"

#include <QDialog>
#include <cstdint>
#include <vector>

class QListView;
class QPushButton;
class ValueQueryModel;

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

protected:
    CodePicker(const CodePickerDefinition& definition, QWidget* parent);

private:
    CodePickerDefinition definition_;
    Database db_;
};

// Opens the picker `screenName` for a caller whose current code is
// `currentCode`, and returns the code the picker returns: the chosen one,
// or `currentCode` when nothing was chosen, the picker was cancelled or is
// not available.
std::int32_t pickCode(const QString& screenName, std::int32_t currentCode, QWidget* parent);
// The code a box's text stands for when it is handed to a picker: its
// numeric value rounded to a whole number (half to even); 0 for a text with
// no number or one beyond the range of a code.
std::int32_t codeOfText(const QString& text);

class frm店コード選択 : public CodePicker {
public:
    explicit frm店コード選択(QWidget* parent = nullptr);
};
class frm担当者選択 : public CodePicker {
public:
    explicit frm担当者選択(QWidget* parent = nullptr);
};
class frm売掛条件選択 : public CodePicker {
public:
    explicit frm売掛条件選択(QWidget* parent = nullptr);
};
class frm決済方法選択 : public CodePicker {
public:
    explicit frm決済方法選択(QWidget* parent = nullptr);
};
class frm引落銀行選択 : public CodePicker {
public:
    explicit frm引落銀行選択(QWidget* parent = nullptr);
};
class frm口座種別選択 : public CodePicker {
public:
    explicit frm口座種別選択(QWidget* parent = nullptr);
};
class frm米サービスレベル選択 : public CodePicker {
public:
    explicit frm米サービスレベル選択(QWidget* parent = nullptr);
};
class frm灯油サービスレベル選択 : public CodePicker {
public:
    explicit frm灯油サービスレベル選択(QWidget* parent = nullptr);
};
class frm勘定科目選択 : public CodePicker {
public:
    explicit frm勘定科目選択(QWidget* parent = nullptr);
};
