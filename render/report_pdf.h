#pragma once
// The report as a PDF: the pages laid out exactly as printing lays them out
// (framed pages on the same kind of page: A4, 20 mm margins, 1200 dots per
// inch, as the toolkit's printer has for a PDF), then any pages a caller
// adds (a figure, say), framed too. Its title is the report's first line.
// The file is written whole or not at all.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QFont>
#include <QPageLayout>

#include "analysis/report/page_frame.h"
#include "render/painted_text_surface.h"

class QPainter;
class QPdfWriter;

namespace platform {

// The program's text font: "Courier New" (a typewriter face where that is
// missing) at 12 pixels, as the report and the notes are shown.
QFont ReportTextFont();
// The same face at 7 points: the font of printing and of the report PDF.
QFont ReportPrintFont();

// The page of the report PDF and of printing: A4, 20 mm margins all round.
QPageLayout ReportPageLayout();
constexpr double ReportMarginMm = 20;

// The frame of the report's pages: "Harrow <version>" above, the date written
// below.
PageFrame ReportPageFrame();
constexpr int ReportPdfResolution = 1200;

// Paints one page after the report pages; `page` is the room between the
// page's header and footer, in device pixels.
using ExtraPagePainter = std::function<void(QPainter& painter, const QRect& page)>;

// A print surface on a PDF kept in memory.
class PdfPrintSurface : public PaintedTextSurface {
public:
    explicit PdfPrintSurface(const QFont& font);
    ~PdfPrintSurface() override;

    void BeginDocument() override;
    void EndDocument() override;
    void AbortDocument() noexcept override;
    void NewPage() override;
    void SetDocumentTitle(const std::string& title) override;

    int PageWidth() const override;
    int PageHeight() const override;

    // Paints on the current page within `area`, before EndDocument.
    void PaintOn(const ExtraPagePainter& paint, const QRect& area);
    // Pages begun so far.
    int PageCount() const { return pages_; }
    // The finished document (after EndDocument).
    const std::string& Bytes() const { return bytes_; }

protected:
    QPaintDevice* Device() const override;

private:
    struct Output;
    std::unique_ptr<Output> device_;
    int pages_ = 0;
    std::string bytes_;
};

// Writes text (with CR LF line ends) as the report PDF to path (UTF-8), the
// extra pages after it, through the whole-file writer. Returns the number of
// pages. Throws PrintError when drawing fails, FileWriteError when the file
// cannot be written.
int WriteReportPdf(const std::string& path, const QFont& font, const std::u32string& text,
                   const std::vector<ExtraPagePainter>& extraPages = {});

}  // namespace platform
