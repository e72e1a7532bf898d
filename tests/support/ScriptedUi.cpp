#include "support/ScriptedUi.h"

#include "ui/EnterNavigation.h"

#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

void ScriptedUi::showMessage(const QString& text, const QString& title)
{
    messages.push_back({text, title});
}

bool ScriptedUi::ask(const QString& text, const QString& title, Preset preset)
{
    questions.push_back({text, title, preset});
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedUi::askYesNo(const QString& text, const QString& title)
{
    yesNoQuestions.push_back({text, title});
    if (yesNoAnswers.empty())
        return false;
    bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

bool ScriptedUi::showPrintPreview(const PrintPreviewRequest& request)
{
    previews.push_back(request);
    if (previewChoices.empty()) {
        ADD_FAILURE() << "unexpected print preview: " << request.documentName.toStdString();
        return false;
    }
    const bool print = previewChoices.front();
    previewChoices.pop_front();
    if (!print)
        return false;
    // As the dialog does when the operator prints: the document is drawn
    // once more, on the printer chosen.
    QTemporaryDir scratch;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(previewPrintFile.isEmpty() ? QDir(scratch.path()).filePath(QStringLiteral("preview.pdf"))
                                                         : previewPrintFile);
    if (request.paint)
        request.paint(printer);
    return true;
}

std::optional<QString> ScriptedUi::inputText(const QString& prompt, const QString& title, const QString&)
{
    prompts.push_back({prompt, title});
    if (inputs.empty()) {
        ADD_FAILURE() << "unexpected input prompt: " << prompt.toStdString();
        return std::nullopt;
    }
    std::optional<QString> answer = inputs.front();
    inputs.pop_front();
    return answer;
}

int ScriptedUi::runModal(QDialog& dialog)
{
    openedScreens << dialog.objectName();
    auto it = handlers_.constFind(dialog.objectName());
    if (it == handlers_.constEnd()) {
        ADD_FAILURE() << "unexpected screen: " << dialog.objectName().toStdString();
        return QDialog::Rejected;
    }
    dialog.setResult(QDialog::Rejected);
    // As the real runner does: every screen takes Enter the same way.
    enableEnterNavigation(&dialog);
    dialog.show();
    (*it)(dialog);
    dialog.hide();
    return dialog.result();
}

void ScriptedUi::beginBusy()
{
    ++busyDepth;
    ++busyCount;
}

void ScriptedUi::endBusy()
{
    --busyDepth;
}

ScriptedUiScope::ScriptedUiScope()
{
    auto ui = std::make_unique<ScriptedUi>();
    ui_ = ui.get();
    previous_ = installUiService(std::move(ui));
}

ScriptedUiScope::~ScriptedUiScope()
{
    installUiService(std::move(previous_));
}
