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
    // Yes/no offers (askYesNo), answered from yesNoAnswers; one with no
    // answer queued is declined, so that files written by tests are never
    // opened unless a test says so.
    std::vector<RecordedMessage> yesNoQuestions;
    std::deque<bool> yesNoAnswers;
    // Files the program asked the desktop to open, in order.
    QStringList openedFiles;

    // Print previews shown, in order, with the request (its drawing can be
    // run again on another printer).
    std::vector<PrintPreviewRequest> previews;
    // What the operator does in each preview: true prints from it, false
    // closes it. A preview with no choice queued is a test failure (and is
    // closed).
    std::deque<bool> previewChoices;
    // Printing from a preview draws on a printer writing this PDF file (a
    // file in a temporary folder when empty).
    QString previewPrintFile;

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
    bool askYesNo(const QString& text, const QString& title) override;
    std::optional<QString> inputText(const QString& prompt, const QString& title, const QString& initial) override;
    int runModal(QDialog& dialog) override;
    void beginBusy() override;
    void endBusy() override;
    bool showPrintPreview(const PrintPreviewRequest& request) override;
    void openFile(const QString& path) override { openedFiles << path; }

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
