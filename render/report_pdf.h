#pragma once
// The report as a PDF: the pages laid out exactly as printing lays them out
// (LayOutText on the same kind of page: A4, 10-point margins, 1200 dots per
// inch, as the toolkit's printer has for a PDF), then any pages a caller
// adds (a figure, say). The file is written whole or not at all.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QFont>
#include <QPageLayout>

#include "render/painted_text_surface.h"

class QPainter;
class QPdfWriter;

namespace platform {

// The program's text font: "Courier New" (a typewriter face where that is
// missing) at 12 pixels, as the report and the notes are shown.
QFont ReportTextFont();
// The same face at 8 points: the font of printing and of the report PDF.
QFont ReportPrintFont();

// The page of the report PDF.
QPageLayout ReportPageLayout();
constexpr int ReportPdfResolution = 1200;

// Paints one page after the report pages; `page` is the printable area in
// device pixels, (0, 0) its top left corner.
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

    int PageWidth() const override;
    int PageHeight() const override;

    // A new page painted by the caller, before EndDocument.
    void AppendPage(const ExtraPagePainter& paint);
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
