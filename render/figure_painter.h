#pragma once
// Paints a figure's geometry with QPainter, on any device: a widget, an
// image, an SVG or PDF generator, a printer page.
#include <QRectF>

#include "analysis/figure/figure_layout.h"
#include "render/report_pdf.h"

class QPainter;

// Fills `target` with white and draws the figure in it, scaled to fit with
// its proportions kept and centred. The painter's state is restored after.
void PaintFigure(QPainter& painter, const FigureLayout& figure, const QRectF& target);

// The figure as a page after the report in its PDF: the page's full width,
// from its top.
platform::ExtraPagePainter FigurePage(const FigureLayout& figure);
