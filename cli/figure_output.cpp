#include "cli/figure_output.h"

#include "render/figure_files.h"
#include "render/report_figure_pdf.h"
#include "render/offscreen_gui.h"

namespace {

class QtFigureWriter : public CliFigureWriter {
public:
    QtFigureWriter(int& argc, char** argv) : gui_(argc, argv) {}

    void WritePlot(const std::string& path, const FigureData& figure, const FigureOptions& options) override
    {
        WriteFigureFile(path, LayOutFigure(figure, options));
    }

    void WritePdf(const std::string& path, const std::vector<std::string>& reportLines,
                  const FigureData& figure) override
    {
        WriteReportAndFigurePdf(path, reportLines, LayOutFigure(figure));
    }

private:
    OffscreenGui gui_;
};

}  // namespace

std::unique_ptr<CliFigureWriter> StartFigureOutput(int& argc, char** argv)
{
    return std::make_unique<QtFigureWriter>(argc, argv);
}
