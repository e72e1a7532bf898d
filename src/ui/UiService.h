#pragma once
// Every message box, question, input prompt, busy pointer and modal screen
// goes through this one service, so that tests can script the operator:
// the real service shows Qt dialogs, the test service records messages,
// answers from a queue and runs a handler instead of blocking in exec().

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QPrintPreviewDialog;
class QPrinter;
class QWidget;

// A document shown on screen before it is printed: its name, its pages and
// how to draw them on a printer (the preview's, or the one the operator
// chooses in it). The drawing is the print-out's own, so what the preview
// shows is what the paper gets.
struct PrintPreviewRequest {
    QString documentName;
    int pageCount = 1;
    std::function<void(QPrinter&)> paint;
};

class UiService {
public:
    virtual ~UiService() = default;
    // A message with an OK button.
    virtual void showMessage(const QString& text, const QString& title) = 0;
    // A question with OK and cancel buttons: true for OK. `preset` is the
    // button Enter presses: キャンセル for a question whose OK would record
    // something a second time.
    enum class Preset { Ok, Cancel };
    virtual bool ask(const QString& text, const QString& title, Preset preset = Preset::Ok) = 0;
    // A question with はい and いいえ buttons: true for はい. For offers that
    // change nothing when declined (opening a file just written).
    virtual bool askYesNo(const QString& text, const QString& title) = 0;
    // A one-line input prompt: the typed text, or nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& prompt, const QString& title,
                                             const QString& initial = {}) = 0;
    // Shows a screen modally and returns its result code when it closes.
    virtual int runModal(QDialog& dialog) = 0;
    // Hourglass pointer on and off; calls nest.
    virtual void beginBusy() = 0;
    virtual void endBusy() = 0;
    // Shows a document before printing; the operator prints it from there
    // (to the printer chosen there) or closes it. True when it was printed.
    virtual bool showPrintPreview(const PrintPreviewRequest& request) = 0;
    // Opens a file (a PDF) in the program the desktop opens such files with.
    virtual void openFile(const QString& path) = 0;
};

// The service in use; the Qt service unless one was installed.
UiService& ui();
// Installs a service for the rest of the run (tests), returning the one it
// replaces; passing nullptr returns to the Qt service.
std::unique_ptr<UiService> installUiService(std::unique_ptr<UiService> service);

// The service that shows real Qt dialogs.
class QtUiService : public UiService {
public:
    void showMessage(const QString& text, const QString& title) override;
    bool ask(const QString& text, const QString& title, Preset preset = Preset::Ok) override;
    std::optional<QString> inputText(const QString& prompt, const QString& title,
                                     const QString& initial) override;
    bool askYesNo(const QString& text, const QString& title) override;
    int runModal(QDialog& dialog) override;
    void beginBusy() override;
    void endBusy() override;
    bool showPrintPreview(const PrintPreviewRequest& request) override;
    void openFile(const QString& path) override;
};

// The preview dialog of a request, drawing its pages on `printer` (an A4
// portrait sheet, as every print-out is): the one the Qt service shows, and
// the one the documentation's picture is taken of.
std::unique_ptr<QPrintPreviewDialog> makePrintPreviewDialog(const PrintPreviewRequest& request, QPrinter& printer,
                                                            QWidget* parent);

// Hourglass pointer for the lifetime of the object: long work shows it and
// the normal pointer returns however the work ends.
class BusyCursor {
public:
    BusyCursor() { ui().beginBusy(); }
    ~BusyCursor() { ui().endBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
