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
#include <QtGlobal>

#include "analysis/files/text_file.h"
#include "render/figure_painter.h"

namespace {

// Screen images at twice the canvas' size: sharp on screens and in documents.
constexpr int ImageScale = 2;
constexpr int ImageDotsPerMetre = 7559;  // 192 dots per inch
// Images of a printed width at the usual resolution of print.
constexpr double PrintDotsPerMm = 300 / 25.4;
constexpr int PdfResolution = 600;
// SVG sizes in hundredths of a millimetre: the drawing's width to 0.01 mm.
constexpr int SvgDotsPerInch = 2540;

double WidthMm(const FigureLayout& figure) { return figure.width * figure.unitMm; }
double HeightMm(const FigureLayout& figure) { return figure.height * figure.unitMm; }

[[noreturn]] void CannotDraw()
{
    throw platform::FileWriteError("The figure could not be drawn.");
}

QByteArray PngBytes(const FigureLayout& figure)
{
    const bool print = figure.printSize;
    const int width = print ? qRound(WidthMm(figure) * PrintDotsPerMm) : qRound(figure.width) * ImageScale;
    const int height = print ? qRound(HeightMm(figure) * PrintDotsPerMm) : qRound(figure.height) * ImageScale;
    QImage image(width, height, QImage::Format_RGB32);
    const int dotsPerMetre = print ? qRound(PrintDotsPerMm * 1000) : ImageDotsPerMetre;
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
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
    // The drawing is the figure: its size the printed one, its view the canvas.
    svg.setResolution(SvgDotsPerInch);
    svg.setSize(QSize(qRound(WidthMm(figure) * 100), qRound(HeightMm(figure) * 100)));
    svg.setViewBox(QRectF(0, 0, figure.width, figure.height));
    svg.setTitle(QString::fromStdString(figure.title));
    svg.setDescription(QStringLiteral("Harrow"));
    QPainter painter;
    if (!painter.begin(&svg)) CannotDraw();
    PaintFigure(painter, figure, QRectF(0, 0, figure.width, figure.height));
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
    // One page the figure's size, without margins: the page is the figure.
    const QPageSize page(QSizeF(WidthMm(figure), HeightMm(figure)), QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    pdf.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
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
