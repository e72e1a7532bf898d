#include "ui/UiService.h"

#include "ui/EnterNavigation.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QInputDialog>
#include <QMarginsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

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

bool QtUiService::askYesNo(const QString& text, const QString& title)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, activeParent());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    box.setDefaultButton(QMessageBox::Yes);
    const bool yes = box.exec() == QMessageBox::Yes;
    QApplication::restoreOverrideCursor();
    return yes;
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

std::unique_ptr<QPrintPreviewDialog> makePrintPreviewDialog(const PrintPreviewRequest& request, QPrinter& printer,
                                                            QWidget* parent)
{
    // The sheet every print-out is laid out on, so that the preview shows
    // the page before the drawing sets it again.
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(request.documentName);
    auto dialog = std::make_unique<QPrintPreviewDialog>(&printer, parent);
    dialog->setObjectName(QStringLiteral("印刷プレビュー"));
    dialog->setWindowTitle(QStringLiteral("印刷プレビュー　%1（%2ページ）").arg(request.documentName).arg(request.pageCount));
    QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                     [paint = request.paint](QPrinter* target) {
                         if (paint && target)
                             paint(*target);
                     });
    // A whole page in view, as tall as the screen allows.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int height = screen ? screen->availableGeometry().height() * 9 / 10 : 900;
    dialog->resize(height * 3 / 4, height);
    if (auto* widget = dialog->findChild<QPrintPreviewWidget*>())
        widget->fitInView();
    return dialog;
}

bool QtUiService::showPrintPreview(const PrintPreviewRequest& request)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QPrinter printer(QPrinter::HighResolution);
    const std::unique_ptr<QPrintPreviewDialog> dialog = makePrintPreviewDialog(request, printer, activeParent());
    dialog->setWindowModality(Qt::ApplicationModal);
    // The dialog accepts when the operator printed from it, and rejects
    // when it was closed without printing.
    const bool printed = dialog->exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    return printed;
}

void QtUiService::openFile(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
