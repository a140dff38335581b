#include "analysis/worksheet/cell_lengths.h"

#include "analysis/worksheet/worksheet_data.h"

const char* const MaxNameLengthMessage = "Maximum length of a name is 40 characters.";
const char* const MaxNumberLengthMessage = "Maximum length of a number is 15 characters.";

std::size_t CellLengthLimit(int column) { return column == NameColumn ? MaxNameLength : MaxNumberLength; }

const char* CellLengthMessage(int column)
{
    return column == NameColumn ? MaxNameLengthMessage : MaxNumberLengthMessage;
}

std::string CutCellText(const std::string& text, int column, bool& cut)
{
    const std::size_t limit = CellLengthLimit(column);
    std::size_t characters = 0;
    cut = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters == limit) {
            cut = true;
            return text.substr(0, i);
        }
        ++characters;
    }
    return text;
}
