#include "print/PrintPreview.h"

#include "print/QtPrintSurface.h"
#include "ui/UiService.h"

#include <memory>
#include <optional>

void PreviewSurface::setFontSize(double points)
{
    RecordingSurface::setFontSize(points);
    points_ = points;
}

void PreviewSurface::setFontName(const QString& face)
{
    RecordingSurface::setFontName(face);
    face_ = face;
}

void PreviewSurface::setUnderline(bool on)
{
    RecordingSurface::setUnderline(on);
    underline_ = on;
}

int PreviewSurface::textWidth(const QString& text) const
{
    if (installedPrintSurfaceFactory())
        return RecordingSurface::textWidth(text);
    return QtPrintSurface::measuredWidth(text, face_, points_, underline_);
}

void paintRecordedDocument(const QString& documentName, const std::vector<PrintItem>& items, QPrinter& printer)
{
    const PrintSurfaceFactory& factory = installedPrintSurfaceFactory();
    std::unique_ptr<PrintSurface> paper =
        factory ? factory(documentName) : std::make_unique<QtPrintSurface>(documentName, printer);
    replayPrintItems(items, *paper);
}

void PreviewSurface::endDocument()
{
    RecordingSurface::endDocument();
    struct Shared {
        QString name;
        std::vector<PrintItem> items;
        std::optional<QString> failure;
    };
    auto shared = std::make_shared<Shared>(Shared{documentName(), items(), std::nullopt});
    PrintPreviewRequest request;
    request.documentName = documentName();
    request.pageCount = pageCount();
    // The dialog draws from its own event loop, which an exception must not
    // cross: a failure is kept and reported when the preview has closed.
    request.paint = [shared](QPrinter& printer) {
        try {
            paintRecordedDocument(shared->name, shared->items, printer);
        } catch (const PrintError& e) {
            shared->failure = e.message();
        } catch (const std::exception& e) {
            shared->failure = QStringLiteral("印刷できませんでした。\n%1").arg(QString::fromLocal8Bit(e.what()));
        }
    };
    ui().showPrintPreview(request);
    if (shared->failure)
        throw PrintError(*shared->failure);
}
