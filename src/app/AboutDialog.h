#pragma once
// The version box frmAbout.

#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

    // This platform has no system-information tool to start: the operator
    // is told so.
    void StartSysInfo();
};

// Program title as the version box shows it.
QString programTitle();
