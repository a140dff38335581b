#pragma once
// How a message names a grid cell: by the variable's name where the row has
// one ("the mean of Memory (Test No.1)"), else by its row alone ("Test No.1"),
// as the worksheet's heading numbers the rows.
#include <string>

#include "analysis/worksheet/worksheet_data.h"

// "mean", "SD", "score" or "name" for the grid's editable columns.
std::string CellKind(int column);
// The label a refused cell is quoted under in a message.
std::string CellLabel(const WorksheetData& data, int row, int column);
