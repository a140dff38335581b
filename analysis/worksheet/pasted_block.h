#pragma once
// Text pasted into the worksheet's grid, as a spreadsheet or a PDF viewer
// copies it: rows by line ends, columns by tabs, else semicolons, else
// commas. A single value keeps its decimal comma ("40,5"). And the grid's
// cells copied out, as a spreadsheet takes them.
#include <string>
#include <vector>

#include "analysis/worksheet/worksheet_data.h"

using PastedBlock = std::vector<std::vector<std::string>>;  // rows of trimmed cells

PastedBlock SplitPastedBlock(const std::string& text);

// The other way: rows of cells as tab-separated text, each row ending in a
// line end, as spreadsheets take it. A tab or line end inside a cell becomes
// a blank, so the block keeps its shape.
std::string BlockText(const PastedBlock& rows);

// True for a number as a cell takes it: an optional '-', digits with at most
// one decimal point or comma, at least one digit; blanks around it allowed.
bool IsNumberText(const std::string& text);

struct PasteOutcome {
    int cellsPasted = 0;
    std::string refusal;  // "" when every cell was taken; else the first refused, named
};

// Writes the block into the editable cells from (row, column) on, right and
// down; cells beyond the grid's columns or GridRows are dropped. Number
// cells take only numbers; names take any text. Texts longer than a cell
// takes are cut to its length.
PasteOutcome PasteIntoGrid(WorksheetData& data, int row, int column, const PastedBlock& block);

// The editable cells of rows top..bottom, columns left..right (the row
// numbers left out), as BlockText writes them.
std::string CopiedBlockText(const WorksheetData& data, int top, int left, int bottom, int right);
