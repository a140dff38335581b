#include "render/report_figure_pdf.h"

#include <QString>

#include "render/figure_painter.h"
#include "render/report_pdf.h"

platform::ExtraPagePainter FigurePage(const FigureLayout& figure)
{
    return [figure](QPainter& painter, const QRect& page) {
        // The page's full width, from its top.
        const double height = page.width() * figure.height / figure.width;
        PaintFigure(painter, figure, QRectF(page.left(), page.top(), page.width(), height));
    };
}

int WriteReportAndFigurePdf(const std::string& path, const std::vector<std::string>& lines,
                            const FigureLayout& figure)
{
    // Lines as the results window holds them, each ending in CR LF.
    QString text;
    for (const std::string& line : lines) text += QString::fromStdString(line) + QStringLiteral("\r\n");
    return platform::WriteReportPdf(path, platform::ReportPrintFont(), text.toStdU32String(), {FigurePage(figure)});
}
