#pragma once
// The surface a print-out gets while the operator previews before
// printing: it records the document, and when the document ends shows it
// on screen through the UI service. The preview and the paper are drawn by
// replaying the recorded items on a printer surface, so they never differ.

#include "print/RecordingSurface.h"

class QPrinter;

class PreviewSurface : public RecordingSurface {
public:
    explicit PreviewSurface(QString documentName) : RecordingSurface(std::move(documentName)) {}

    void setFontSize(double points) override;
    void setFontName(const QString& face) override;
    void setUnderline(bool on) override;
    // Measures as the surface the paper gets does: a printer surface, or,
    // while tests have their own surfaces installed, a recording one.
    int textWidth(const QString& text) const override;
    // Shows the preview and returns when the operator has closed it, having
    // printed or not. Throws PrintError when the pages could not be drawn
    // on the printer.
    void endDocument() override;

private:
    double points_ = 12;
    QString face_;
    bool underline_ = false;
};

// Draws a recorded document on `printer` (the preview's, or the one chosen
// in it) through a printer surface; while a surface factory is installed
// (tests), on a surface from the factory instead.
void paintRecordedDocument(const QString& documentName, const std::vector<PrintItem>& items, QPrinter& printer);
