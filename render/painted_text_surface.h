#pragma once
// What a printer and a PDF page have in common as print surfaces: text
// measured in the paint device's own font metrics and drawn with one
// QPainter in the report's font. The device, the pages and the document's
// start and end come from the surface built on it.
#include <memory>
#include <string>

#include <QFont>

#include "analysis/report/print_surface.h"

class QPainter;
class QPaintDevice;

namespace platform {

class PaintedTextSurface : public PrintSurface {
public:
    ~PaintedTextSurface() override;

    int CharHeight() const override;
    int AverageCharWidth() const override;
    int MeasureRun(const std::u32string& run) const override;
    void DrawRun(int x, int y, const std::u32string& run) override;

protected:
    explicit PaintedTextSurface(const QFont& font);

    virtual QPaintDevice* Device() const = 0;
    // Starts the painter on Device(), in the font and black; false when it
    // cannot start.
    bool BeginPainting();
    // Ends the painter; false when ending failed. True when none was started.
    bool EndPainting() noexcept;
    // The painter while a document is open, otherwise nullptr.
    QPainter* Painter() const { return painter_.get(); }

private:
    QFont font_;
    std::unique_ptr<QPainter> painter_;
};

}  // namespace platform
