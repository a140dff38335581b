#include "cli/figure_output.h"

#include "analysis/text_file.h"
#include "render/figure_files.h"
#include "render/offscreen_gui.h"

namespace {

class QtFigureWriter : public CliFigureWriter {
public:
    QtFigureWriter(int& argc, char** argv) : gui_(argc, argv) {}

    void WritePlot(const std::string& path, const FigureData& figure) override
    {
        WriteFigureFile(path, LayOutFigure(figure));
    }

    void WritePdf(const std::string&, const std::vector<std::string>&, const FigureData&) override
    {
        throw platform::FileWriteError("The PDF of the report is not available yet.");
    }

private:
    OffscreenGui gui_;
};

}  // namespace

std::unique_ptr<CliFigureWriter> StartFigureOutput(int& argc, char** argv)
{
    return std::make_unique<QtFigureWriter>(argc, argv);
}
