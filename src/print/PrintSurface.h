#pragma once
// The printer as the print-outs see it: an A4 portrait sheet on which texts,
// lines and boxes are placed in twips (1440 to the inch, 567 to the
// centimetre) from the top-left corner of the printable area. Every
// print-out draws through this interface only, so one code path serves the
// printer, a PDF file and the recording surface of the tests.

#include "core/OperatorError.h"

#include <QString>
#include <functional>
#include <memory>
#include <stdexcept>

// The printer or the PDF file cannot be opened, or drawing on it fails. The
// message is Japanese and says what the operator can do.
class PrintError : public OperatorError {
public:
    explicit PrintError(const QString& message) : OperatorError(message) {}
};

class PrintSurface {
public:
    // The A4 sheet in twips (210 mm × 297 mm).
    static constexpr int SheetWidth = 11906;
    static constexpr int SheetHeight = 16838;
    // The rightmost position any layout draws at (the cutting lines end
    // there); texts that run towards the right edge are fitted inside it.
    static constexpr int RightEdge = 11567;

    virtual ~PrintSurface() = default;

    // Size in points of the texts that follow.
    virtual void setFontSize(double points) = 0;
    // Face of the texts that follow; an empty name (the default) is a face
    // that shows Japanese.
    virtual void setFontName(const QString& face) = 0;
    virtual void setUnderline(bool on) = 0;

    // Places a text with the top-left corner of its first character at
    // (x, y). With fitWidth > 0 the text is narrowed as far as needed so
    // that it ends within fitWidth twips of x (trailing blanks do not
    // count), so that a long name never runs into the next column.
    void text(int x, int y, const QString& text, int fitWidth = 0) { drawText(x, y, text, fitWidth); }
    // Width in twips of a text in the current face and size.
    virtual int textWidth(const QString& text) const = 0;

    // A solid black line between two points.
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    // The outline of the rectangle between two corners, never filled.
    virtual void box(int x1, int y1, int x2, int y2) = 0;

    virtual void newPage() = 0;
    // Sends the document to the printer (or closes the PDF file). Drawing
    // after the end is an error.
    virtual void endDocument() = 0;

protected:
    virtual void drawText(int x, int y, const QString& text, int fitWidth) = 0;
};

using PrintSurfaceFactory = std::function<std::unique_ptr<PrintSurface>(const QString& documentName)>;

// A fresh surface for one document (one print job): the system's default
// printer, or a PDF file when there is none. Throws PrintError when the
// printer or file cannot be opened. Screens never build surfaces
// themselves, so that tests can capture what they print.
// While previewBeforePrinting() is on, the surface records the document
// and shows it on screen when it ends; the operator prints it from there
// or closes the preview, which prints nothing and is no error.
std::unique_ptr<PrintSurface> openPrintSurface(const QString& documentName);
// Whether documents are shown on screen before they are printed: a switch
// for the whole session, which the operator sets in the main window; off
// at start. Files the operator asks for (openPdfSurface) are never
// previewed.
void setPreviewBeforePrinting(bool on);
bool previewBeforePrinting();
// A fresh surface that writes one document to a new PDF file in the folder
// 印刷 beside the program whatever printer there is ("save as PDF"); the
// operator is told where the file is. Tests capture it as they capture
// openPrintSurface.
std::unique_ptr<PrintSurface> openPdfSurface(const QString& documentName);
// Replaces the way surfaces are opened (tests); nullptr returns to the
// printer. Returns the factory it replaces (nullptr for the printer).
PrintSurfaceFactory installPrintSurfaceFactory(PrintSurfaceFactory factory);
// The factory installed, or nullptr when surfaces go to the printer.
const PrintSurfaceFactory& installedPrintSurfaceFactory();

// Documents written to PDF files tell the operator where the file is. While
// a batch is alive, the files of all documents ended in it are told in one
// message when the outermost batch ends, so an invoice of several pages, or
// a run of invoices, is one message rather than one per page.
class PrintBatch {
public:
    PrintBatch();
    ~PrintBatch();
    PrintBatch(const PrintBatch&) = delete;
    PrintBatch& operator=(const PrintBatch&) = delete;
};

// Called by a surface when it has written a PDF file because there is no
// printer: tells the operator where it is and offers to open it (a batch of
// several files offers their folder), at once or at the end of the running
// batch.
void reportPdfWritten(const QString& path);
// Called by a surface when it has written the PDF file the operator asked
// for: tells where it is.
void reportPdfSaved(const QString& path);
