#include "analysis/figure/figure_format.h"

#include <cctype>

FigureFormat FigureFormatOf(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return FigureFormat::Unknown;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "png") return FigureFormat::Png;
    if (extension == "svg") return FigureFormat::Svg;
    if (extension == "pdf") return FigureFormat::Pdf;
    return FigureFormat::Unknown;
}

std::string UnknownFigureFormatMessage(const std::string& path)
{
    return "Cannot save the figure as \"" + path + "\": the name must end in .png, .svg or .pdf.";
}
