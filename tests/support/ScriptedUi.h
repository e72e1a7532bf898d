#pragma once
// The scripted operator: records every message, answers questions and input
// prompts from queues, and runs a handler for each screen that is opened
// instead of blocking in exec(), so a whole flow is one synchronous test.

#include "support/QtPrinters.h"
#include "ui/UiService.h"

#include <QDialog>
#include <QHash>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

struct RecordedMessage {
    QString text;
    QString title;
    UiService::Preset preset = UiService::Preset::Ok; // a question's default button
};

class ScriptedUi : public UiService {
public:
    std::vector<RecordedMessage> messages;
    std::vector<RecordedMessage> questions;
    std::vector<RecordedMessage> prompts;
    QStringList openedScreens; // objectName of every screen run, in order

    // Answers for ask(), oldest first. A question with no answer queued is a
    // test failure (and answers cancel).
    std::deque<bool> answers;
    // Answers for inputText(); nullopt means the prompt was cancelled.
    std::deque<std::optional<QString>> inputs;

    // The handler drives the open screen (the dialog is shown while it runs);
    // the screen's result is what runModal returns.
    using ScreenHandler = std::function<void(QDialog&)>;
    void onScreen(const QString& objectName, ScreenHandler handler) { handlers_.insert(objectName, std::move(handler)); }

    int busyDepth = 0;     // pointer currently busy when > 0
    int busyCount = 0;     // how often the busy pointer was shown

    void showMessage(const QString& text, const QString& title) override;
    bool ask(const QString& text, const QString& title, Preset preset = Preset::Ok) override;
    std::optional<QString> inputText(const QString& prompt, const QString& title, const QString& initial) override;
    int runModal(QDialog& dialog) override;
    void beginBusy() override;
    void endBusy() override;

    // The last message's text, or an empty text when none was shown.
    QString lastMessage() const { return messages.empty() ? QString() : messages.back().text; }

private:
    QHash<QString, ScreenHandler> handlers_;
};

// Installs a fresh scripted UI for the lifetime of the object.
class ScriptedUiScope {
public:
    ScriptedUiScope();
    ~ScriptedUiScope();
    ScriptedUi& operator*() { return *ui_; }
    ScriptedUi* operator->() { return ui_; }

private:
    ScriptedUi* ui_;
    std::unique_ptr<UiService> previous_;
};
