#include "ui/UiService.h"

#include "ui/EnterNavigation.h"

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

std::unique_ptr<UiService>& installed()
{
    static std::unique_ptr<UiService> service;
    return service;
}

QWidget* activeParent()
{
    QWidget* w = QApplication::activeModalWidget();
    return w ? w : QApplication::activeWindow();
}

} // namespace

UiService& ui()
{
    static QtUiService qtService;
    if (installed())
        return *installed();
    return qtService;
}

std::unique_ptr<UiService> installUiService(std::unique_ptr<UiService> service)
{
    std::unique_ptr<UiService> previous = std::move(installed());
    installed() = std::move(service);
    return previous;
}

void QtUiService::showMessage(const QString& text, const QString& title)
{
    // A message shown during long work must be read with the normal pointer.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, activeParent());
    box.exec();
    QApplication::restoreOverrideCursor();
}

bool QtUiService::ask(const QString& text, const QString& title, Preset preset)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel, activeParent());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box.setDefaultButton(preset == Preset::Cancel ? QMessageBox::Cancel : QMessageBox::Ok);
    bool accepted = box.exec() == QMessageBox::Ok;
    QApplication::restoreOverrideCursor();
    return accepted;
}

std::optional<QString> QtUiService::inputText(const QString& prompt, const QString& title,
                                              const QString& initial)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QInputDialog dialog(activeParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    bool accepted = dialog.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    if (!accepted)
        return std::nullopt;
    return dialog.textValue();
}

int QtUiService::runModal(QDialog& dialog)
{
    // Every screen takes Enter the same way, whether or not it set it up.
    enableEnterNavigation(&dialog);
    dialog.setWindowModality(Qt::ApplicationModal);
    return dialog.exec();
}

void QtUiService::beginBusy()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtUiService::endBusy()
{
    QApplication::restoreOverrideCursor();
}
