#pragma once
// The file formats a figure is written in, chosen by the file name's
// extension (in any letter case).
#include <string>

enum class FigureFormat { Unknown, Png, Svg, Pdf };

FigureFormat FigureFormatOf(const std::string& path);

// Why a name was refused: "Cannot save the figure as \"<path>\": the name
// must end in .png, .svg or .pdf."
std::string UnknownFigureFormatMessage(const std::string& path);
