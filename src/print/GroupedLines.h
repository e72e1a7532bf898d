#pragma once
// The lines of a listing printed at fixed positions: from `firstY` down by
// `lineHeight`, an empty slot after every `perGroup` lines, and after every
// `perPage` lines a new page under headings drawn again.

#include "print/PrintSurface.h"

// The page of the grouped listings (the transfer-slip journal, the gas
// totals), in twips: the title, the headings, then 60 lines a page in
// groups of five, at 9.5 points.
namespace groupedListing {
constexpr int Left = 700;
constexpr int TitleY = 500;
constexpr int HeadingY = 1000;
constexpr int FirstLineY = 1500;
constexpr int LineHeight = 200;
constexpr int LinesPerGroup = 5;
constexpr int LinesPerPage = 60;
constexpr double FontSize = 9.5;
} // namespace groupedListing

class GroupedLines {
public:
    using Headings = void (*)(PrintSurface&);

    GroupedLines(PrintSurface& surface, int firstY, int lineHeight, int perGroup, int perPage, Headings headings)
        : surface_(surface), firstY_(firstY), lineHeight_(lineHeight), perGroup_(perGroup), perPage_(perPage),
          headings_(headings)
    {
    }

    // Where the next line goes.
    int y() const { return firstY_ + lineHeight_ * slot_; }

    // Called after each line.
    void next()
    {
        ++printed_;
        ++slot_;
        if (printed_ % perGroup_ == 0)
            ++slot_;
        if (printed_ % perPage_ == 0) {
            surface_.newPage();
            slot_ = 0;
            headings_(surface_);
        }
    }

private:
    PrintSurface& surface_;
    int firstY_;
    int lineHeight_;
    int perGroup_;
    int perPage_;
    Headings headings_;
    int slot_ = 0;
    int printed_ = 0;
};
