#include "render/report_pdf.h"

#include <QBuffer>
#include <QByteArray>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "analysis/print_layout.h"
#include "analysis/text_file.h"

namespace platform {

struct PdfPrintSurface::Device {
    QByteArray data;
    QBuffer buffer{&data};
    QPdfWriter writer{&buffer};
};

QPageLayout ReportPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Point);
}

PdfPrintSurface::PdfPrintSurface(const QFont& font) : device_(std::make_unique<Device>()), font_(font)
{
    device_->buffer.open(QIODevice::WriteOnly);
    device_->writer.setResolution(ReportPdfResolution);
    device_->writer.setPageLayout(ReportPageLayout());
    device_->writer.setCreator(QStringLiteral("Harrow"));
}

PdfPrintSurface::~PdfPrintSurface() { AbortDocument(); }

void PdfPrintSurface::BeginDocument()
{
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&device_->writer)) {
        painter_.reset();
        throw PrintError("The PDF document could not be started.");
    }
    painter_->setFont(font_);
    painter_->setPen(Qt::black);
    pages_ = 1;
}

void PdfPrintSurface::EndDocument()
{
    if (!painter_) return;
    const bool ended = painter_->end();
    painter_.reset();
    if (!ended) throw PrintError("The PDF document could not be finished.");
    bytes_.assign(device_->data.constData(), static_cast<std::size_t>(device_->data.size()));
}

void PdfPrintSurface::AbortDocument() noexcept
{
    if (!painter_) return;
    painter_->end();
    painter_.reset();
    bytes_.clear();
}

void PdfPrintSurface::NewPage()
{
    if (!device_->writer.newPage()) throw PrintError("The PDF document could not start a new page.");
    ++pages_;
}

int PdfPrintSurface::PageWidth() const { return device_->writer.width(); }
int PdfPrintSurface::PageHeight() const { return device_->writer.height(); }
int PdfPrintSurface::CharHeight() const { return QFontMetrics(font_, &device_->writer).height(); }
int PdfPrintSurface::AverageCharWidth() const { return QFontMetrics(font_, &device_->writer).averageCharWidth(); }

int PdfPrintSurface::MeasureRun(const std::u32string& run) const
{
    return QFontMetrics(font_, &device_->writer)
        .horizontalAdvance(QString::fromUcs4(run.data(), static_cast<qsizetype>(run.size())));
}

void PdfPrintSurface::DrawRun(int x, int y, const std::u32string& run)
{
    if (!painter_) throw PrintError("No PDF document has been started.");
    const int ascent = QFontMetrics(font_, &device_->writer).ascent();
    painter_->drawText(x, y + ascent, QString::fromUcs4(run.data(), static_cast<qsizetype>(run.size())));
}

void PdfPrintSurface::AppendPage(const ExtraPagePainter& paint)
{
    if (!painter_) throw PrintError("No PDF document has been started.");
    NewPage();
    painter_->save();
    paint(*painter_, QRect(0, 0, PageWidth(), PageHeight()));
    painter_->restore();
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
