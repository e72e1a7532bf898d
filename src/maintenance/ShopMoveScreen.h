#pragma once
// The screen frmサーバー移行 ("データベースの移行"): a shop that grows to a
// second computer moves its database from the file onto a PostgreSQL
// server, and back again. The operator names the server (host, port,
// database, user; the password is libpq's, in ~/.pgpass); the whole shop
// is copied and checked before anything switches, and from then on this
// computer works on the new place (HMWsrv.dat beside HMWcfg.dat says so at
// every start). The place it came from is left as it was.

#include <QDialog>

struct SessionState;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

class frmサーバー移行 : public QDialog {
public:
    explicit frmサーバー移行(SessionState& state, QWidget* parent = nullptr);

    QLabel* currentLabel;       // lbl現在: where the shop's database is now
    QLineEdit* hostBox;         // Textホスト "サーバー"
    QSpinBox* portBox;          // Textポート "ポート"
    QLineEdit* databaseBox;     // Textデータベース "データベース名"
    QLineEdit* userBox;         // Textユーザー "ユーザー名"
    QPushButton* toServerButton; // cmdサーバーへ "サーバーへ移す"
    QPushButton* toFileButton;   // cmdファイルへ "ファイルへ戻す"
    QPushButton* closeButton;    // cmd終了 "終了"

    // Asks, copies the file shop onto the server named in the boxes and
    // switches to it; false when nothing changed (the operator was told).
    bool moveToServer();
    // Asks, copies the server shop into the configured database file (an
    // existing file is kept beside it) and switches back to the file.
    bool moveToFile();

private:
    void showCurrent();
    QString shopFolder() const;

    SessionState& state_;
};
