#include "analysis/worksheet/cell_names.h"

std::string CellKind(int column)
{
    switch (column) {
    case NameColumn: return "name";
    case MeanColumn: return "mean";
    case SDColumn: return SDCaption;
    default: return "score";
    }
}

std::string CellLabel(const WorksheetData& data, int row, int column)
{
    const std::string rowLabel = std::string(ItemsCaption) + WorksheetData::RowNumberText(row);
    const std::string& name = data.Cell(row, NameColumn);
    if (column == NameColumn || name.find_first_not_of(' ') == std::string::npos) return rowLabel;
    return "the " + CellKind(column) + " of " + name + " (" + rowLabel + ")";
}
