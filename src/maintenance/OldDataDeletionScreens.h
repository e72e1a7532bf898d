#pragma once
// The two old-data deletion screens, alike but for their texts and table:
// frm削除商品 deletes posted sales lines, frm削除ガス LP-gas records, dated on
// or before the day in the three date boxes (today two years back when the
// screen opens).

#include "core/Date.h"
#include "maintenance/OldDataDeletion.h"

#include <QDialog>

class Database;
class DateBoxes;
class QLabel;
class QPushButton;
class QSpinBox;

class OldDataDeletionScreen : public QDialog {
public:
    QLabel* Label1;        // the heading
    QLabel* Label2;        // the line over the date
    QSpinBox* Text1;       // year
    QSpinBox* Text2;       // month
    QSpinBox* Text3;       // day
    QPushButton* Command4; // "中止・終了"

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
    OldDataDeletionScreen(const Texts& texts, QWidget* parent);
    QPushButton* deleteButton() const { return deleteButton_; }

    virtual DeletionCount countRows(Database& db, const Date& cutoff) = 0;
    virtual QString countLine(const DeletionCount& count) const = 0;
    virtual void removeRows(Database& db, const Date& cutoff) = 0;

private:
    void updateDeleteButton();
    Texts texts_;
    DateBoxes* dateBoxes_;
    QPushButton* deleteButton_;
};

class frm削除商品 : public OldDataDeletionScreen {
public:
    explicit frm削除商品(QWidget* parent = nullptr);
    QPushButton* Command2; // "削除"

protected:
    DeletionCount countRows(Database& db, const Date& cutoff) override;
    QString countLine(const DeletionCount& count) const override;
    void removeRows(Database& db, const Date& cutoff) override;
};

class frm削除ガス : public OldDataDeletionScreen {
public:
    explicit frm削除ガス(QWidget* parent = nullptr);
    QPushButton* Command3; // "ガスデータの削除"

protected:
    DeletionCount countRows(Database& db, const Date& cutoff) override;
    QString countLine(const DeletionCount& count) const override;
    void removeRows(Database& db, const Date& cutoff) override;
};
