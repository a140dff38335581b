#include "render/figure_painter.h"

#include <algorithm>

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>

namespace {

// Greys only: the figure must read the same when printed in black and white.
const QColor BandGrey(0xd2, 0xd2, 0xd2);
const QColor BarInIntervalGrey(0x8c, 0x8c, 0x8c);
const QColor OutlineGrey(0x30, 0x30, 0x30);
const QColor EdgeGrey(0x50, 0x50, 0x50);

QPen PenFor(FigureStyle style)
{
    switch (style) {
    case FigureStyle::IntervalBand: return Qt::NoPen;
    case FigureStyle::Bar:
    case FigureStyle::BarInInterval: return QPen(OutlineGrey, 0.6);
    case FigureStyle::Axis: return QPen(Qt::black, 1.0);
    case FigureStyle::IntervalEdge: return QPen(EdgeGrey, 1.0);
    case FigureStyle::Estimate: return QPen(Qt::black, 2.6, Qt::SolidLine, Qt::FlatCap);
    case FigureStyle::Zero: return QPen(Qt::black, 1.4, Qt::DashLine, Qt::FlatCap);
    case FigureStyle::PercentMark: return QPen(Qt::black, 3.2, Qt::SolidLine, Qt::FlatCap);
    }
    return QPen(Qt::black);
}

QBrush BrushFor(FigureStyle style)
{
    switch (style) {
    case FigureStyle::IntervalBand: return BandGrey;
    case FigureStyle::Bar: return Qt::white;
    case FigureStyle::BarInInterval: return BarInIntervalGrey;
    default: return Qt::NoBrush;
    }
}

QFont FontFor(FigureTextRole role)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    switch (role) {
    case FigureTextRole::Title: font.setPixelSize(17); font.setBold(true); break;
    case FigureTextRole::AxisTitle: font.setPixelSize(13); break;
    case FigureTextRole::TickLabel: font.setPixelSize(11); break;
    case FigureTextRole::MarkLabel: font.setPixelSize(11); font.setBold(true); break;
    case FigureTextRole::Legend: font.setPixelSize(12); break;
    }
    return font;
}

void DrawText(QPainter& painter, const FigureText& item, double canvasWidth)
{
    painter.setFont(FontFor(item.role));
    const QFontMetricsF metrics(painter.font(), painter.device());
    // A title longer than the figure is wide (a long task name) is cut with "...".
    QString text = QString::fromStdString(item.text);
    if (item.role == FigureTextRole::Title) text = metrics.elidedText(text, Qt::ElideRight, canvasWidth - 20);
    const double width = metrics.horizontalAdvance(text);
    if (item.vertical) {
        painter.save();
        painter.translate(item.x, item.y);
        painter.rotate(-90);
        painter.drawText(QPointF(-width / 2, (metrics.ascent() - metrics.descent()) / 2), text);
        painter.restore();
        return;
    }
    double x = item.x;
    if (item.align == FigureAlign::Centre) x -= width / 2;
    if (item.align == FigureAlign::Right) x -= width;
    painter.drawText(QPointF(x, item.y), text);
}

}  // namespace

void PaintFigure(QPainter& painter, const FigureLayout& figure, const QRectF& target)
{
    painter.save();
    painter.fillRect(target, Qt::white);
    const double scale = std::min(target.width() / figure.width, target.height() / figure.height);
    painter.translate(target.left() + (target.width() - figure.width * scale) / 2,
                      target.top() + (target.height() - figure.height * scale) / 2);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    for (const FigureRect& r : figure.rects) {
        painter.setPen(PenFor(r.style));
        painter.setBrush(BrushFor(r.style));
        painter.drawRect(QRectF(r.left, r.top, r.width, r.height));
    }
    painter.setBrush(Qt::NoBrush);
    for (const FigureLine& l : figure.lines) {
        painter.setPen(PenFor(l.style));
        painter.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
    }
    painter.setPen(Qt::black);
    for (const FigureText& t : figure.texts) DrawText(painter, t, figure.width);
    painter.restore();
}
