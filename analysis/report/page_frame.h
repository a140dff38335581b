#pragma once
// The frame of a printed report's pages, the same on paper and in the PDF:
// a header line (the program and its version) at the top of every page, and
// at the foot the date the document was written and "Page n of m". The text
// is laid out between them by LayOutText; blank lines before the report's
// first line are left out, so that it starts at the top of page 1.
#include <string>

#include "analysis/report/print_surface.h"

namespace platform {

struct PageFrame {
    std::u32string header;  // "Harrow 1.4.0"
    std::u32string date;    // "Written 2026-12-08"
    int extraPages = 0;     // pages the caller adds after the text, counted in m
};

// "Written YYYY-MM-DD", today by the local clock.
std::u32string WrittenToday();

// The title of a document holding text: its first line that is not blank,
// trimmed; "Harrow report" when there is none.
std::string DocumentTitle(const std::u32string& text);

// A print surface that draws the frame on each page of another and gives
// the text the room between header and footer. Its pages are counted from 1
// at BeginDocument; the footer of a page is drawn when the next begins and
// at EndDocument. With totalPages 0 it only counts: nothing reaches the
// surface beneath but measuring.
class FramedSurface : public PrintSurface {
public:
    FramedSurface(PrintSurface& page, PageFrame frame, int totalPages);

    void BeginDocument() override;
    void EndDocument() override;
    void AbortDocument() noexcept override;
    void NewPage() override;

    int PageWidth() const override { return page_.PageWidth(); }
    int PageHeight() const override;
    int CharHeight() const override { return page_.CharHeight(); }
    int AverageCharWidth() const override { return page_.AverageCharWidth(); }
    int MeasureRun(const std::u32string& run) const override { return page_.MeasureRun(run); }
    void DrawRun(int x, int y, const std::u32string& run) override;

    // The pages begun so far.
    int Pages() const { return pages_; }
    // The top of the room for text, in the surface's own coordinates.
    int BodyTop() const;

private:
    int Band() const;  // the header's line and a blank line; the same for the footer
    void DrawHeader();
    void DrawFooter();

    PrintSurface& page_;
    PageFrame frame_;
    int totalPages_;
    int pages_ = 0;
};

// The text without its leading blank lines and with one final line break,
// as the framed document lays it out.
std::u32string FramedText(const std::u32string& text);

// The number of pages the framed text takes on the surface (which need not
// have begun a document), the frame's extra pages included.
int CountFramedPages(const PrintSurface& surface, const std::u32string& text, const PageFrame& frame);

// Prints text as one document of framed pages, titled DocumentTitle(text):
// counts them, then begins, lays out and ends it. If the surface throws, the document is aborted and
// the error passed on.
void PrintFramedDocument(PrintSurface& surface, const std::u32string& text, const PageFrame& frame);

}  // namespace platform
