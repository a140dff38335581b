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
    font.setPointSize(8);
    return font;
}

QPageLayout ReportPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Point);
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

void PdfPrintSurface::AppendPage(const ExtraPagePainter& paint)
{
    QPainter* painter = Painter();
    if (!painter) throw PrintError("No document has been started.");
    NewPage();
    painter->save();
    paint(*painter, QRect(0, 0, PageWidth(), PageHeight()));
    painter->restore();
}

int WriteReportPdf(const std::string& path, const QFont& font, const std::u32string& text,
                   const std::vector<ExtraPagePainter>& extraPages)
{
    PdfPrintSurface surface(font);
    surface.BeginDocument();
    try {
        LayOutText(surface, text + U"\r\n");
        for (const ExtraPagePainter& paint : extraPages) surface.AppendPage(paint);
        surface.EndDocument();
    } catch (...) {
        surface.AbortDocument();
        throw;
    }
    WriteWholeFile(path, surface.Bytes());
    return surface.PageCount();
}

}  // namespace platform
