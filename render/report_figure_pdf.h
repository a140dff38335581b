#pragma once
// The report and its figure as one PDF, as the results window's "Save as
// PDF..." writes it: the report's pages exactly as printing lays them out
// (in the print font, as the results window prints), then the
// figure on a page of its own. Written whole or not at all.
#include <string>
#include <vector>

#include "analysis/figure/figure_layout.h"

// lines: the report's lines as the results window holds them. Returns the
// number of pages. Throws platform::PrintError or platform::FileWriteError.
int WriteReportAndFigurePdf(const std::string& path, const std::vector<std::string>& lines,
                            const FigureLayout& figure);
