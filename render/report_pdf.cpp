#include "render/report_pdf.h"

#include <QBuffer>
#include <QByteArray>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "analysis/report/print_layout.h"
#include "analysis/files/text_file.h"

namespace platform {

struct PdfPrintSurface::Output {
    QByteArray data;
    QBuffer buffer{&data};
    QPdfWriter writer{&buffer};
};

QFont ReportTextFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(12);
    return font;
}

QFont ReportPrintFont()
{
    QFont font = ReportTextFont();
    // The report's longest line (107 characters) whole within 20 mm margins on A4.
    font.setPointSize(7);
    return font;
}

QPageLayout ReportPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(ReportMarginMm, ReportMarginMm, ReportMarginMm, ReportMarginMm),
                       QPageLayout::Millimeter);
}

PageFrame ReportPageFrame()
{
    PageFrame frame;
    frame.header = QStringLiteral("Harrow " HARROW_VERSION).toStdU32String();
    frame.date = WrittenToday();
    return frame;
}

PdfPrintSurface::PdfPrintSurface(const QFont& font) : PaintedTextSurface(font), device_(std::make_unique<Output>())
{
    device_->buffer.open(QIODevice::WriteOnly);
    device_->writer.setResolution(ReportPdfResolution);
    device_->writer.setPageLayout(ReportPageLayout());
    device_->writer.setCreator(QStringLiteral("Harrow"));
}

PdfPrintSurface::~PdfPrintSurface() { AbortDocument(); }

QPaintDevice* PdfPrintSurface::Device() const { return &device_->writer; }

void PdfPrintSurface::BeginDocument()
{
    if (!BeginPainting()) throw PrintError("The PDF document could not be started.");
    pages_ = 1;
}

void PdfPrintSurface::EndDocument()
{
    if (!Painter()) return;
    if (!EndPainting()) throw PrintError("The PDF document could not be finished.");
    bytes_.assign(device_->data.constData(), static_cast<std::size_t>(device_->data.size()));
}

void PdfPrintSurface::AbortDocument() noexcept
{
    EndPainting();
    bytes_.clear();
}

void PdfPrintSurface::NewPage()
{
    if (!device_->writer.newPage()) throw PrintError("The PDF document could not start a new page.");
    ++pages_;
}

int PdfPrintSurface::PageWidth() const { return device_->writer.width(); }
int PdfPrintSurface::PageHeight() const { return device_->writer.height(); }

void PdfPrintSurface::SetDocumentTitle(const std::string& title)
{
    device_->writer.setTitle(QString::fromStdString(title));
}

void PdfPrintSurface::PaintOn(const ExtraPagePainter& paint, const QRect& area)
{
    QPainter* painter = Painter();
    if (!painter) throw PrintError("No document has been started.");
    painter->save();
    paint(*painter, area);
    painter->restore();
}

int WriteReportPdf(const std::string& path, const QFont& font, const std::u32string& text,
                   const std::vector<ExtraPagePainter>& extraPages)
{
    PdfPrintSurface surface(font);
    surface.SetDocumentTitle(DocumentTitle(text));
    PageFrame frame = ReportPageFrame();
    frame.extraPages = static_cast<int>(extraPages.size());
    FramedSurface framed(surface, frame, CountFramedPages(surface, text, frame));
    framed.BeginDocument();
    try {
        LayOutText(framed, FramedText(text));
        for (const ExtraPagePainter& paint : extraPages) {
            framed.NewPage();
            surface.PaintOn(paint, QRect(0, framed.BodyTop(), framed.PageWidth(), framed.PageHeight()));
        }
        framed.EndDocument();
    } catch (...) {
        framed.AbortDocument();
        throw;
    }
    WriteWholeFile(path, surface.Bytes());
    return surface.PageCount();
}

}  // namespace platform
