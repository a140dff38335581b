#pragma once
// The figure as a PNG image, an SVG drawing or a one-page PDF, chosen by the
// file name's extension, and written whole or not at all.
#include <string>

#include "analysis/figure/figure_format.h"
#include "analysis/figure/figure_layout.h"

// The file's bytes. Throws platform::FileWriteError when the format is
// Unknown or the drawing cannot be made.
std::string FigureFileBytes(const FigureLayout& figure, FigureFormat format);

// Writes the figure to path (UTF-8) in the format its extension names, by
// platform::WriteWholeFile: the file holds the whole figure or is left as it
// was. Throws platform::FileWriteError with a message for the user, also for
// a name without .png, .svg or .pdf (then nothing is drawn or written).
void WriteFigureFile(const std::string& path, const FigureLayout& figure);
