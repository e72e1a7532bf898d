#include "print/PrintSurface.h"

#include "print/PrintPreview.h"
#include "print/QtPrintSurface.h"
#include "ui/UiService.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

PrintSurfaceFactory& installedFactory()
{
    static PrintSurfaceFactory factory;
    return factory;
}

struct BatchState {
    int depth = 0;
    QStringList files;
};

BatchState& batch()
{
    static BatchState state;
    return state;
}

bool& previewSwitch()
{
    static bool on = false;
    return on;
}

void tellOperator(const QStringList& files)
{
    if (files.isEmpty())
        return;
    const QString title = QStringLiteral("印刷");
    if (files.size() == 1) {
        if (ui().askYesNo(QStringLiteral("プリンターがないため、印刷データをPDFファイルに保存しました。\n%1\n\n開きますか？")
                              .arg(QDir::toNativeSeparators(files.front())),
                          title))
            ui().openFile(files.front());
        return;
    }
    constexpr int Listed = 10;
    QStringList lines;
    for (int i = 0; i < files.size() && i < Listed; ++i)
        lines << QDir::toNativeSeparators(files[i]);
    if (files.size() > Listed)
        lines << QStringLiteral("ほか %1 個").arg(files.size() - Listed);
    const QString folder = QFileInfo(files.front()).absolutePath();
    if (ui().askYesNo(QStringLiteral("プリンターがないため、印刷データを %1 個のPDFファイルに保存しました。\n%2\n\n"
                                     "保存したフォルダを開きますか？\n%3")
                          .arg(files.size())
                          .arg(lines.join(QLatin1Char('\n')), QDir::toNativeSeparators(folder)),
                      title))
        ui().openFile(folder);
}

} // namespace

std::unique_ptr<PrintSurface> openPrintSurface(const QString& documentName)
{
    if (previewBeforePrinting())
        return std::make_unique<PreviewSurface>(documentName);
    if (installedFactory())
        return installedFactory()(documentName);
    return std::make_unique<QtPrintSurface>(documentName);
}

std::unique_ptr<PrintSurface> openPdfSurface(const QString& documentName)
{
    if (installedFactory())
        return installedFactory()(documentName);
    return QtPrintSurface::savedPdf(documentName);
}

PrintSurfaceFactory installPrintSurfaceFactory(PrintSurfaceFactory factory)
{
    PrintSurfaceFactory previous = std::move(installedFactory());
    installedFactory() = std::move(factory);
    return previous;
}

const PrintSurfaceFactory& installedPrintSurfaceFactory()
{
    return installedFactory();
}

void setPreviewBeforePrinting(bool on)
{
    previewSwitch() = on;
}

bool previewBeforePrinting()
{
    return previewSwitch();
}

PrintBatch::PrintBatch()
{
    ++batch().depth;
}

PrintBatch::~PrintBatch()
{
    if (--batch().depth > 0)
        return;
    const QStringList files = std::move(batch().files);
    batch().files.clear();
    try {
        tellOperator(files);
    } catch (...) {
        // Telling is a courtesy; a failure to show it must not end the
        // program while an error is already on its way up.
    }
}

void reportPdfWritten(const QString& path)
{
    if (batch().depth > 0)
        batch().files << path;
    else
        tellOperator({path});
}

void reportPdfSaved(const QString& path)
{
    ui().showMessage(QStringLiteral("PDFファイルに保存しました。\n%1").arg(QDir::toNativeSeparators(path)),
                     QStringLiteral("印刷"));
}
