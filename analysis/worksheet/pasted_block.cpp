#include "analysis/worksheet/pasted_block.h"

#include <algorithm>
#include <cctype>

#include "analysis/worksheet/cell_lengths.h"
#include "analysis/worksheet/cell_names.h"
#include "foundation/plain_text.h"

namespace {

std::string Trimmed(const std::string& text) { return TrimmedOf(text, WhiteSpace); }

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        cells.push_back(Trimmed(line.substr(start, end == std::string::npos ? std::string::npos : end - start)));
        if (end == std::string::npos) return cells;
        start = end + 1;
    }
}

}  // namespace

bool IsNumberText(const std::string& text)
{
    const std::string t = Trimmed(text);
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-') ++i;
    bool digit = false, point = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

PastedBlock SplitPastedBlock(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
            lines.push_back(line);
            line.clear();
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    while (!lines.empty() && Trimmed(lines.back()).empty()) lines.pop_back();

    const bool tabs = text.find('\t') != std::string::npos;
    const bool semicolons = text.find(';') != std::string::npos;
    const bool singleValue = lines.size() == 1 && IsNumberText(lines[0]);
    PastedBlock block;
    for (const std::string& l : lines) {
        if (tabs) block.push_back(Split(l, '\t'));
        else if (semicolons) block.push_back(Split(l, ';'));
        else if (!singleValue) block.push_back(Split(l, ','));
        else block.push_back({Trimmed(l)});
    }
    return block;
}

PasteOutcome PasteIntoGrid(WorksheetData& data, int row, int column, const PastedBlock& block)
{
    PasteOutcome outcome;
    for (std::size_t r = 0; r < block.size(); ++r) {
        const int targetRow = row + static_cast<int>(r);
        if (targetRow >= data.GridRows) break;
        for (std::size_t c = 0; c < block[r].size(); ++c) {
            const int targetColumn = column + static_cast<int>(c);
            if (targetColumn > ScoreColumn) break;
            const std::string& text = block[r][c];
            if (targetColumn != NameColumn && !text.empty() && !IsNumberText(text)) {
                if (outcome.refusal.empty())
                    outcome.refusal = "\"" + text + "\" is not a number: " +
                                      CellLabel(data, targetRow, targetColumn) + " takes numeric data only.";
                continue;
            }
            bool cut = false;
            data.Cell(targetRow, targetColumn) = CutCellText(text, targetColumn, cut);
            ++outcome.cellsPasted;
        }
    }
    return outcome;
}

std::string BlockText(const PastedBlock& rows)
{
    std::string text;
    for (const std::vector<std::string>& cells : rows) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (c > 0) text += '\t';
            for (char ch : cells[c]) text += (ch == '\t' || ch == '\n' || ch == '\r') ? ' ' : ch;
        }
        text += '\n';
    }
    return text;
}

std::string CopiedBlockText(const WorksheetData& data, int top, int left, int bottom, int right)
{
    left = std::max(left, static_cast<int>(NameColumn));
    right = std::min(right, static_cast<int>(ScoreColumn));
    top = std::max(top, 0);
    bottom = std::min(bottom, GridRowCapacity - 1);
    PastedBlock rows;
    for (int r = top; r <= bottom; ++r) {
        rows.emplace_back();
        for (int c = left; c <= right; ++c) rows.back().push_back(data.Cell(r, c));
    }
    return BlockText(rows);
}
