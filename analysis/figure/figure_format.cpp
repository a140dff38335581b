#include "analysis/figure/figure_format.h"

#include "analysis/files/file_names.h"

FigureFormat FigureFormatOf(const std::string& path)
{
    const std::string extension = LowerExtension(path);
    if (extension == ".png") return FigureFormat::Png;
    if (extension == ".svg") return FigureFormat::Svg;
    if (extension == ".pdf") return FigureFormat::Pdf;
    return FigureFormat::Unknown;
}

std::string UnknownFigureFormatMessage(const std::string& path)
{
    return "Cannot save the figure as \"" + path + "\": the name must end in .png, .svg or .pdf.";
}
