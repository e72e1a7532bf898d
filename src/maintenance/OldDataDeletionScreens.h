#pragma once
// The two old-data deletion screens, alike but for their texts and table:
// frm削除商品 deletes posted sales lines, frm削除ガス LP-gas records, dated on
// or before the day in the three date boxes (today two years back when the
// screen opens).

#include "core/Date.h"
#include "maintenance/OldDataDeletion.h"

#include <QDialog>

struct SessionState;
class Database;
class DateBoxes;
class QLabel;
class QPushButton;
class QSpinBox;

class OldDataDeletionScreen : public QDialog {
public:
    QLabel* headingLabel;      // Label1: the heading
    QLabel* dateLineLabel;     // Label2: the line over the date
    QSpinBox* yearBox;         // Text1
    QSpinBox* monthBox;        // Text2
    QSpinBox* dayBox;          // Text3
    QPushButton* deleteButton; // frm削除商品: Command2 "削除"; frm削除ガス: Command3 "ガスデータの削除"
    QPushButton* finishButton; // Command4 "中止・終了"

    // The cut-off as the three boxes give it, with carry.
    Date cutoff() const;
    // The delete button: asks, deletes, compacts the file and reports.
    void deleteRows();

protected:
    struct Texts {
        QString name;              // screen name
        QString heading;           // heading label, also the window title
        QString dateLine;          // label over the date
        QString deleteButtonName;  // "Command2" / "Command3"
        QString deleteCaption;
        QString confirmTitle;
        QString confirmText;
        QString completionTitle;
        QString completionText;
    };
    OldDataDeletionScreen(SessionState& state, const Texts& texts, QWidget* parent);

    virtual DeletionCount countRows(Database& db, const Date& cutoff) = 0;
    virtual QString countLine(const DeletionCount& count) const = 0;
    virtual void removeRows(Database& db, const Date& cutoff) = 0;

private:
    void updateDeleteButton();
    SessionState& state_;
    Texts texts_;
    DateBoxes* dateBoxes_;
};

class frm削除商品 : public OldDataDeletionScreen {
public:
    explicit frm削除商品(SessionState& state, QWidget* parent = nullptr);

protected:
    DeletionCount countRows(Database& db, const Date& cutoff) override;
    QString countLine(const DeletionCount& count) const override;
    void removeRows(Database& db, const Date& cutoff) override;
};

class frm削除ガス : public OldDataDeletionScreen {
public:
    explicit frm削除ガス(SessionState& state, QWidget* parent = nullptr);

protected:
    DeletionCount countRows(Database& db, const Date& cutoff) override;
    QString countLine(const DeletionCount& count) const override;
    void removeRows(Database& db, const Date& cutoff) override;
};
