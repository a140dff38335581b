#include "analysis/report/page_frame.h"

#include <ctime>

#include "analysis/report/print_layout.h"

namespace platform {
namespace {

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n' || c == U'\f'; }

// Forwards measuring to a surface that may not be drawn on, and counts pages.
class CountingSurface : public PrintSurface {
public:
    explicit CountingSurface(const PrintSurface& page) : page_(page) {}
    void BeginDocument() override {}
    void EndDocument() override {}
    void AbortDocument() noexcept override {}
    void NewPage() override {}
    int PageWidth() const override { return page_.PageWidth(); }
    int PageHeight() const override { return page_.PageHeight(); }
    int CharHeight() const override { return page_.CharHeight(); }
    int AverageCharWidth() const override { return page_.AverageCharWidth(); }
    int MeasureRun(const std::u32string& run) const override { return page_.MeasureRun(run); }
    void DrawRun(int, int, const std::u32string&) override {}

private:
    const PrintSurface& page_;
};

}  // namespace

std::u32string WrittenToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[16] = "";
    std::strftime(date, sizeof date, "%Y-%m-%d", &local);
    std::u32string text = U"Written ";
    for (const char* c = date; *c; ++c) text += static_cast<char32_t>(*c);
    return text;
}

std::string DocumentTitle(const std::u32string& text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(U"\r\n\f", start);
        if (end == std::u32string::npos) end = text.size();
        std::size_t first = start, last = end;
        while (first < last && IsBlank(text[first])) ++first;
        while (last > first && IsBlank(text[last - 1])) --last;
        if (first < last) {
            std::string utf8;
            for (std::size_t i = first; i < last; ++i) {
                const char32_t c = text[i];
                if (c < 0x80) {
                    utf8 += static_cast<char>(c);
                } else if (c < 0x800) {
                    utf8 += static_cast<char>(0xC0 | (c >> 6));
                    utf8 += static_cast<char>(0x80 | (c & 0x3F));
                } else if (c < 0x10000) {
                    utf8 += static_cast<char>(0xE0 | (c >> 12));
                    utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                    utf8 += static_cast<char>(0x80 | (c & 0x3F));
                } else {
                    utf8 += static_cast<char>(0xF0 | (c >> 18));
                    utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                    utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                    utf8 += static_cast<char>(0x80 | (c & 0x3F));
                }
            }
            return utf8;
        }
        start = end + 1;
    }
    return "Harrow report";
}

FramedSurface::FramedSurface(PrintSurface& page, PageFrame frame, int totalPages)
    : page_(page), frame_(std::move(frame)), totalPages_(totalPages)
{
}

int FramedSurface::Band() const { return 2 * page_.CharHeight(); }

int FramedSurface::BodyTop() const { return Band(); }

int FramedSurface::PageHeight() const { return page_.PageHeight() - 2 * Band(); }

void FramedSurface::BeginDocument()
{
    pages_ = 1;
    if (totalPages_ == 0) return;
    page_.BeginDocument();
    try {
        DrawHeader();
    } catch (...) {
        page_.AbortDocument();
        throw;
    }
}

void FramedSurface::EndDocument()
{
    if (totalPages_ == 0) return;
    DrawFooter();
    page_.EndDocument();
}

void FramedSurface::AbortDocument() noexcept
{
    if (totalPages_ != 0) page_.AbortDocument();
}

void FramedSurface::NewPage()
{
    if (totalPages_ != 0) {
        DrawFooter();
        page_.NewPage();
    }
    ++pages_;
    if (totalPages_ != 0) DrawHeader();
}

void FramedSurface::DrawRun(int x, int y, const std::u32string& run)
{
    if (totalPages_ != 0) page_.DrawRun(x, y + Band(), run);
}

void FramedSurface::DrawHeader() { page_.DrawRun(0, 0, frame_.header); }

void FramedSurface::DrawFooter()
{
    const int y = page_.PageHeight() - page_.CharHeight();
    page_.DrawRun(0, y, frame_.date);
    std::u32string number = U"Page ";
    for (char c : std::to_string(pages_) + " of " + std::to_string(totalPages_)) number += static_cast<char32_t>(c);
    page_.DrawRun(page_.PageWidth() - page_.MeasureRun(number), y, number);
}

std::u32string FramedText(const std::u32string& text)
{
    const std::size_t first = text.find_first_not_of(U" \t\r\n\f");
    if (first == std::u32string::npos) return U"\r\n";
    // From the start of the first line holding anything but blanks.
    const std::size_t lineEnd = text.find_last_of(U"\n\f", first);
    return text.substr(lineEnd == std::u32string::npos ? 0 : lineEnd + 1) + U"\r\n";
}

int CountFramedPages(const PrintSurface& surface, const std::u32string& text, const PageFrame& frame)
{
    CountingSurface measure(surface);
    FramedSurface counter(measure, frame, 0);
    counter.BeginDocument();
    LayOutText(counter, FramedText(text));
    return counter.Pages() + frame.extraPages;
}

void PrintFramedDocument(PrintSurface& surface, const std::u32string& text, const PageFrame& frame)
{
    surface.SetDocumentTitle(DocumentTitle(text));
    FramedSurface framed(surface, frame, CountFramedPages(surface, text, frame));
    framed.BeginDocument();
    try {
        LayOutText(framed, FramedText(text));
        framed.EndDocument();
    } catch (...) {
        framed.AbortDocument();
        throw;
    }
}

}  // namespace platform
