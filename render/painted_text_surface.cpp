#include "render/painted_text_surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

namespace platform {
namespace {

QString ToQString(const std::u32string& run)
{
    return QString::fromUcs4(run.data(), static_cast<qsizetype>(run.size()));
}

}  // namespace

PaintedTextSurface::PaintedTextSurface(const QFont& font) : font_(font) {}

PaintedTextSurface::~PaintedTextSurface() = default;

int PaintedTextSurface::CharHeight() const { return QFontMetrics(font_, Device()).height(); }

int PaintedTextSurface::AverageCharWidth() const { return QFontMetrics(font_, Device()).averageCharWidth(); }

int PaintedTextSurface::MeasureRun(const std::u32string& run) const
{
    return QFontMetrics(font_, Device()).horizontalAdvance(ToQString(run));
}

void PaintedTextSurface::DrawRun(int x, int y, const std::u32string& run)
{
    if (!painter_) throw PrintError("No document has been started.");
    const int ascent = QFontMetrics(font_, Device()).ascent();
    painter_->drawText(x, y + ascent, ToQString(run));
}

bool PaintedTextSurface::BeginPainting()
{
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(Device())) {
        painter_.reset();
        return false;
    }
    painter_->setFont(font_);
    painter_->setPen(Qt::black);
    return true;
}

bool PaintedTextSurface::EndPainting() noexcept
{
    if (!painter_) return true;
    const bool ended = painter_->end();
    painter_.reset();
    return ended;
}

}  // namespace platform
