#include "print/RecordingSurface.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

bool isHalfWidth(char32_t c)
{
    return c < 0x0100                      // ASCII and Latin-1, the yen sign included
        || (c >= 0xFF61 && c <= 0xFF9F)    // half-width katakana and punctuation
        || (c >= 0xFFE8 && c <= 0xFFEE);   // half-width forms
}

// Passes every call on to a recording surface that outlives it, so the
// capture keeps what was printed after the print-out drops its surface.
class ForwardingSurface : public PrintSurface {
public:
    explicit ForwardingSurface(RecordingSurface& target) : target_(target) {}
    void setFontSize(double points) override { target_.setFontSize(points); }
    void setFontName(const QString& face) override { target_.setFontName(face); }
    void setUnderline(bool on) override { target_.setUnderline(on); }
    int textWidth(const QString& text) const override { return target_.textWidth(text); }
    void line(int x1, int y1, int x2, int y2) override { target_.line(x1, y1, x2, y2); }
    void box(int x1, int y1, int x2, int y2) override { target_.box(x1, y1, x2, y2); }
    void newPage() override { target_.newPage(); }
    void endDocument() override { target_.endDocument(); }

protected:
    void drawText(int x, int y, const QString& text, int fitWidth) override { target_.text(x, y, text, fitWidth); }

private:
    RecordingSurface& target_;
};

} // namespace

int RecordingSurface::nominalWidth(const QString& text, double points)
{
    int halves = 0;
    for (char32_t c : text.toUcs4())
        halves += isHalfWidth(c) ? 1 : 2;
    // One half-width character is half an em: points × 20 twips / 2.
    return int(std::lround(halves * points * 10));
}

RecordingSurface::Extent RecordingSurface::inkExtent(const PrintItem& item)
{
    auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QChar(0x3000); };
    const QString& t = item.text;
    qsizetype first = 0;
    while (first < t.size() && isBlank(t[first]))
        ++first;
    qsizetype end = t.size();
    while (end > first && isBlank(t[end - 1]))
        --end;
    int right = item.x + nominalWidth(t.left(end), item.fontSize);
    if (item.fitWidth > 0)
        right = std::min(right, item.x + item.fitWidth);
    const int left = std::min(right, item.x + nominalWidth(t.left(first), item.fontSize));
    return {left, right};
}

PrintItem RecordingSurface::item(PrintItem::Kind kind) const
{
    PrintItem i;
    i.kind = kind;
    i.fontSize = fontSize_;
    i.fontName = fontName_;
    i.underline = underline_;
    i.page = page_;
    return i;
}

void RecordingSurface::checkOpen() const
{
    if (ended_)
        throw std::logic_error("drawing on a print surface whose document has ended");
}

void RecordingSurface::drawText(int x, int y, const QString& text, int fitWidth)
{
    checkOpen();
    PrintItem i = item(PrintItem::Kind::Text);
    i.x = x;
    i.y = y;
    i.text = text;
    i.fitWidth = fitWidth;
    items_.push_back(i);
}

void RecordingSurface::line(int x1, int y1, int x2, int y2)
{
    checkOpen();
    PrintItem i = item(PrintItem::Kind::Line);
    i.x = x1;
    i.y = y1;
    i.x2 = x2;
    i.y2 = y2;
    items_.push_back(i);
}

void RecordingSurface::box(int x1, int y1, int x2, int y2)
{
    checkOpen();
    PrintItem i = item(PrintItem::Kind::Box);
    i.x = x1;
    i.y = y1;
    i.x2 = x2;
    i.y2 = y2;
    items_.push_back(i);
}

void RecordingSurface::newPage()
{
    checkOpen();
    items_.push_back(item(PrintItem::Kind::NewPage));
    ++page_;
}

void RecordingSurface::endDocument()
{
    checkOpen();
    items_.push_back(item(PrintItem::Kind::EndDocument));
    ended_ = true;
}

namespace {

std::vector<const PrintItem*> ofKind(const std::vector<PrintItem>& items, PrintItem::Kind kind)
{
    std::vector<const PrintItem*> found;
    for (const PrintItem& i : items)
        if (i.kind == kind)
            found.push_back(&i);
    return found;
}

} // namespace

std::vector<const PrintItem*> RecordingSurface::texts() const { return ofKind(items_, PrintItem::Kind::Text); }
std::vector<const PrintItem*> RecordingSurface::lines() const { return ofKind(items_, PrintItem::Kind::Line); }
std::vector<const PrintItem*> RecordingSurface::boxes() const { return ofKind(items_, PrintItem::Kind::Box); }

const PrintItem* RecordingSurface::find(const QString& text) const
{
    for (const PrintItem& i : items_)
        if (i.kind == PrintItem::Kind::Text && i.text == text)
            return &i;
    return nullptr;
}

std::vector<const PrintItem*> RecordingSurface::findAll(const QString& text) const
{
    std::vector<const PrintItem*> found;
    for (const PrintItem& i : items_)
        if (i.kind == PrintItem::Kind::Text && i.text == text)
            found.push_back(&i);
    return found;
}

const PrintItem* RecordingSurface::findStarting(const QString& prefix) const
{
    for (const PrintItem& i : items_)
        if (i.kind == PrintItem::Kind::Text && i.text.startsWith(prefix))
            return &i;
    return nullptr;
}

std::vector<const PrintItem*> RecordingSurface::row(int y, int page) const
{
    std::vector<const PrintItem*> found;
    for (const PrintItem& i : items_)
        if (i.kind == PrintItem::Kind::Text && i.y == y && i.page == page)
            found.push_back(&i);
    std::stable_sort(found.begin(), found.end(), [](const PrintItem* a, const PrintItem* b) { return a->x < b->x; });
    return found;
}

const PrintItem* RecordingSurface::textAt(int x, int y) const
{
    for (const PrintItem& i : items_)
        if (i.kind == PrintItem::Kind::Text && i.x == x && i.y == y)
            return &i;
    return nullptr;
}

void replayPrintItems(const std::vector<PrintItem>& items, PrintSurface& target)
{
    // A fresh surface's state; a setting is passed on only when it changes,
    // as the print-out set it.
    double points = 12;
    QString face;
    bool underline = false;
    for (const PrintItem& i : items) {
        if (i.fontSize != points)
            target.setFontSize(points = i.fontSize);
        if (i.fontName != face)
            target.setFontName(face = i.fontName);
        if (i.underline != underline)
            target.setUnderline(underline = i.underline);
        switch (i.kind) {
        case PrintItem::Kind::Text:
            target.text(i.x, i.y, i.text, i.fitWidth);
            break;
        case PrintItem::Kind::Line:
            target.line(i.x, i.y, i.x2, i.y2);
            break;
        case PrintItem::Kind::Box:
            target.box(i.x, i.y, i.x2, i.y2);
            break;
        case PrintItem::Kind::NewPage:
            target.newPage();
            break;
        case PrintItem::Kind::EndDocument:
            target.endDocument();
            break;
        }
    }
}

PrintCapture::PrintCapture()
{
    previous_ = installPrintSurfaceFactory([this](const QString& documentName) -> std::unique_ptr<PrintSurface> {
        if (failure_)
            throw PrintError(*failure_);
        surfaces_.push_back(std::make_unique<RecordingSurface>(documentName));
        return std::make_unique<ForwardingSurface>(*surfaces_.back());
    });
}

PrintCapture::~PrintCapture()
{
    installPrintSurfaceFactory(std::move(previous_));
}

QStringList PrintCapture::documentNames() const
{
    QStringList names;
    for (const auto& s : surfaces_)
        names << s->documentName();
    return names;
}
