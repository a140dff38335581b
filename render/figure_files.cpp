#include "render/figure_files.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "analysis/files/text_file.h"
#include "render/figure_painter.h"

namespace {

// Images at twice the figure's size: sharp on screens and in documents.
constexpr int ImageScale = 2;
constexpr int ImageDotsPerMetre = 7559;  // 192 dots per inch
constexpr int PdfResolution = 600;

[[noreturn]] void CannotDraw()
{
    throw platform::FileWriteError("The figure could not be drawn.");
}

QByteArray PngBytes(const FigureLayout& figure)
{
    QImage image(static_cast<int>(FigureWidth) * ImageScale, static_cast<int>(FigureHeight) * ImageScale,
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(ImageDotsPerMetre);
    image.setDotsPerMeterY(ImageDotsPerMetre);
    {
        QPainter painter;
        if (!painter.begin(&image)) CannotDraw();
        PaintFigure(painter, figure, QRectF(image.rect()));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) CannotDraw();
    return bytes;
}

QByteArray SvgBytes(const FigureLayout& figure)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(static_cast<int>(FigureWidth), static_cast<int>(FigureHeight)));
    svg.setViewBox(QRectF(0, 0, FigureWidth, FigureHeight));
    svg.setTitle(QString::fromStdString(figure.title));
    svg.setDescription(QStringLiteral("Harrow"));
    QPainter painter;
    if (!painter.begin(&svg)) CannotDraw();
    PaintFigure(painter, figure, QRectF(0, 0, FigureWidth, FigureHeight));
    if (!painter.end()) CannotDraw();
    return bytes;
}

QByteArray PdfBytes(const FigureLayout& figure)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(PdfResolution);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                  QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    pdf.setTitle(QString::fromStdString(figure.title));
    pdf.setCreator(QStringLiteral("Harrow"));
    QPainter painter;
    if (!painter.begin(&pdf)) CannotDraw();
    PaintFigure(painter, figure, QRectF(0, 0, pdf.width(), pdf.height()));
    if (!painter.end()) CannotDraw();
    return bytes;
}

}  // namespace

std::string FigureFileBytes(const FigureLayout& figure, FigureFormat format)
{
    QByteArray bytes;
    switch (format) {
    case FigureFormat::Png: bytes = PngBytes(figure); break;
    case FigureFormat::Svg: bytes = SvgBytes(figure); break;
    case FigureFormat::Pdf: bytes = PdfBytes(figure); break;
    case FigureFormat::Unknown: throw platform::FileWriteError("The figure's file format is not known.");
    }
    return bytes.toStdString();
}

void WriteFigureFile(const std::string& path, const FigureLayout& figure)
{
    const FigureFormat format = FigureFormatOf(path);
    if (format == FigureFormat::Unknown) throw platform::FileWriteError(UnknownFigureFormatMessage(path));
    platform::WriteWholeFile(path, FigureFileBytes(figure, format));
}
