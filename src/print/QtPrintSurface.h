#pragma once
// The print surface on a real QPrinter: the system's default printer, or a
// PDF file in the folder 印刷 beside the program when the machine has no
// printer. Twips become device units through the printer's resolution.

#include "print/PrintSurface.h"

#include <QString>
#include <memory>

class QPainter;
class QPrinter;
class QFont;

class QtPrintSurface : public PrintSurface {
public:
    // Opens the default printer, or, when there is none, a new PDF file
    // named after the document and the date and time in pdfFolder(). Throws
    // PrintError when it cannot be opened.
    explicit QtPrintSurface(const QString& documentName);
    // Always prints to a PDF file at pdfPath (tests, and "save as PDF").
    QtPrintSurface(const QString& documentName, const QString& pdfPath);
    // Draws on a printer set up elsewhere (the print preview's, or the one
    // the operator chose in it), which the surface does not own: the same
    // drawing as on paper, with the same sheet and margins. Nobody is told
    // of a file; the one who set the printer up knows where it prints.
    QtPrintSurface(const QString& documentName, QPrinter& printer);
    // A new PDF file in pdfFolder() named after the document and the time,
    // whatever printer there is: the operator asked for a file, and is told
    // where it is when the document ends.
    static std::unique_ptr<QtPrintSurface> savedPdf(const QString& documentName);
    // A document that was not ended is abandoned: the printer job is
    // aborted, a PDF file removed.
    ~QtPrintSurface() override;

    bool isPdf() const { return !pdfPath_.isEmpty(); }
    QString pdfPath() const { return pdfPath_; }

    // The folder 印刷 in the current directory, which start-up makes the
    // program's own directory.
    static QString pdfFolder();
    // The first installed face of those that show Japanese; a monospaced one
    // first, so that a half-width character is exactly half an em as the
    // layouts count (120 twips at 12 points).
    static QString defaultFace();
    // The installed face a surface uses for a face asked for by name (empty:
    // the default face).
    static QString resolvedFace(const QString& face);
    // The width in twips of a text as a printer surface measures it, for a
    // surface that must measure before it knows its printer (the preview).
    static int measuredWidth(const QString& text, const QString& face, double points, bool underline);

    void setFontSize(double points) override { fontSize_ = points; }
    void setFontName(const QString& face) override;
    void setUnderline(bool on) override { underline_ = on; }
    int textWidth(const QString& text) const override;
    void line(int x1, int y1, int x2, int y2) override;
    void box(int x1, int y1, int x2, int y2) override;
    void newPage() override;
    void endDocument() override;

protected:
    void drawText(int x, int y, const QString& text, int fitWidth) override;

private:
    void begin(const QString& documentName, bool toPdf);
    QFont currentFont() const;
    double device(int twips) const { return twips * scale_; }
    void checkOpen() const;

    std::unique_ptr<QPrinter> ownedPrinter_;
    QPrinter* printer_ = nullptr; // ownedPrinter_, or the borrowed one
    std::unique_ptr<QPainter> painter_;
    QString pdfPath_;
    bool pdfAskedFor_ = false; // savedPdf(): the file is what the operator asked for
    QString printerName_;
    double scale_ = 1; // device units per twip
    double fontSize_ = 12;
    QString face_;
    bool underline_ = false;
    bool ended_ = false;
};
