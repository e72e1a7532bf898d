#pragma once
// The main window frmTQメイン: the shop's name in the title, four buttons for
// the daily work, the menu bar for everything else, and the administrator
// lock over the accounting, product, settings and update menus.

#include <QMainWindow>
#include <vector>

class QLabel;
struct SessionState;
class QMenu;
class QPushButton;

// One entry of the menu bar: an item, or a separator when objectName is empty.
struct MenuItemDefinition {
    const char* objectName;
    const char* caption;
    const char* screen; // the screen it opens
};

struct MenuDefinition {
    const char* objectName;
    const char* caption;
    bool enabledAtStart;
    bool unlockedByAdministrator;
    std::vector<MenuItemDefinition> items;
};

// The whole menu bar, left to right.
const std::vector<MenuDefinition>& mainMenuDefinitions();

class frmTQメイン : public QMainWindow {
public:
    // The window keeps the run's session state and hands it to each screen.
    explicit frmTQメイン(SessionState& state, QWidget* parent = nullptr);

    QLabel* titleLabel;           // Label1: the shop's name; a click opens the administrator screen
    QPushButton* salesButton;     // cmd売上 "売上"
    QPushButton* gasInputButton;  // cmdガス入力 "ガス入力"
    QPushButton* paymentButton;   // cmd売掛入金 "売掛入金"
    QPushButton* exitButton;      // cmd終了 "終了"

    QMenu* menu(const QString& objectName) const;
    // Enables the four menus the administrator code unlocks; they stay
    // enabled until the program ends.
    void unlockAdministratorMenus();
    // Opens the administrator screen, as a click on the title label does.
    void openAdministratorScreen();

private:
    void buildMenus();
    void openFromMenu(const QString& screen, const QString& caption);
    void showCustomerResults();

    SessionState& state_;
};
