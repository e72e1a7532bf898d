#pragma once
// A surface that records every call instead of printing, so tests read the
// positions, sizes and texts a print-out produced; and PrintCapture, which
// makes every print-out of a test land on recording surfaces.

#include "print/PrintSurface.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

struct PrintItem {
    enum class Kind { Text, Line, Box, NewPage, EndDocument };
    Kind kind = Kind::Text;
    int x = 0;
    int y = 0;
    int x2 = 0;        // lines and boxes: the second point
    int y2 = 0;
    QString text;      // texts only
    int fitWidth = 0;  // texts only: 0 when the text is not fitted
    double fontSize = 0;
    QString fontName;
    bool underline = false;
    int page = 1;      // page of the document, from 1
};

class RecordingSurface : public PrintSurface {
public:
    explicit RecordingSurface(QString documentName = {}) : documentName_(std::move(documentName)) {}

    const QString& documentName() const { return documentName_; }
    const std::vector<PrintItem>& items() const { return items_; }
    bool ended() const { return ended_; }
    int pageCount() const { return page_; }

    // The texts in the order printed.
    std::vector<const PrintItem*> texts() const;
    std::vector<const PrintItem*> lines() const;
    std::vector<const PrintItem*> boxes() const;
    // The first text item equal to `text`, or nullptr.
    const PrintItem* find(const QString& text) const;
    // Every text item equal to `text`.
    std::vector<const PrintItem*> findAll(const QString& text) const;
    // The first text item starting with `prefix`, or nullptr.
    const PrintItem* findStarting(const QString& prefix) const;
    // The text item printed at (x, y), or nullptr.
    const PrintItem* textAt(int x, int y) const;
    // The texts printed at height y on a page, from left to right.
    std::vector<const PrintItem*> row(int y, int page = 1) const;
    // Index of an item in items(), for checking what came next.
    std::size_t indexOf(const PrintItem* item) const { return std::size_t(item - items_.data()); }

    // Width of a text as a face with half-width characters of half the
    // size and full-width characters of the full size would print it: 120
    // twips for a digit at 12 points, as the layouts count.
    static int nominalWidth(const QString& text, double points);
    // Where a text's ink begins and ends across the page: blanks at either
    // end take room but print nothing, and a fitted text ends within its
    // fitted width.
    struct Extent {
        int left = 0;
        int right = 0;
    };
    static Extent inkExtent(const PrintItem& item);

    void setFontSize(double points) override { fontSize_ = points; }
    void setFontName(const QString& face) override { fontName_ = face; }
    void setUnderline(bool on) override { underline_ = on; }
    int textWidth(const QString& text) const override { return nominalWidth(text, fontSize_); }
    void line(int x1, int y1, int x2, int y2) override;
    void box(int x1, int y1, int x2, int y2) override;
    void newPage() override;
    void endDocument() override;

protected:
    void drawText(int x, int y, const QString& text, int fitWidth) override;

private:
    PrintItem item(PrintItem::Kind kind) const;
    void checkOpen() const;

    QString documentName_;
    std::vector<PrintItem> items_;
    double fontSize_ = 12;
    QString fontName_;
    bool underline_ = false;
    int page_ = 1;
    bool ended_ = false;
};

// Draws recorded items on another surface in their order, with the font
// each was recorded in, page breaks and the document's end included; a
// fresh surface then gets exactly the calls the recording got.
void replayPrintItems(const std::vector<PrintItem>& items, PrintSurface& target);

// While alive, every surface opened through openPrintSurface is a recording
// surface kept here in the order opened, readable after the print-out has
// released it. Restores the previous way of opening on destruction.
class PrintCapture {
public:
    PrintCapture();
    ~PrintCapture();
    PrintCapture(const PrintCapture&) = delete;
    PrintCapture& operator=(const PrintCapture&) = delete;

    int count() const { return int(surfaces_.size()); }
    const RecordingSurface& surface(int index) const { return *surfaces_.at(std::size_t(index)); }
    const std::vector<std::unique_ptr<RecordingSurface>>& surfaces() const { return surfaces_; }
    // Names of the documents opened, in order.
    QStringList documentNames() const;

    // Makes every later opening throw PrintError with this message, as a
    // missing printer does; nullopt returns to recording.
    void failOpening(std::optional<QString> message) { failure_ = std::move(message); }

private:
    std::vector<std::unique_ptr<RecordingSurface>> surfaces_;
    std::optional<QString> failure_;
    PrintSurfaceFactory previous_;
};
