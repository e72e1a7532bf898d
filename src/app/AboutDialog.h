#pragma once
// The version box frmAbout.

#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* titleLabel;         // lblTitle: the program title
    QLabel* versionLabel;       // lblVersion "ﾊﾞｰｼﾞｮﾝ …"
    QLabel* descriptionLabel;   // lblDescription
    QLabel* disclaimerLabel;    // lblDisclaimer: the backup advice
    QPushButton* okButton;         // cmdOK "OK"
    QPushButton* systemInfoButton; // cmdSysInfo "ｼｽﾃﾑ情報(&S)..."

    // This platform has no system-information tool to start: the operator
    // is told so.
    void showSystemInfo();
};

// Program title as the version box shows it.
QString programTitle();
