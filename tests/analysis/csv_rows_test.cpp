// The streaming CSV reader: rows handed over one at a time, the reading
// stopped by its caller, fields past the reader's width counted, not kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/files/csv_table.h"

namespace {

TEST(CsvRows, WideRecordsAreCountedNotKept)
{
    const struct {
        const char* what;
        std::string text;
        std::size_t fieldLimit;
        std::size_t stopAfter;  // rows taken before the reader stops
        std::vector<std::size_t> kept, counted;
        std::vector<bool> textBeyond;
        bool read;
    } cases[] = {
        {"narrow rows", "a,b\n1,2\n3,4\n", 3, 9, {2, 2}, {2, 2}, {false, false}, true},
        {"a million separators", "a,b\n" + std::string(1000000, ',') + "\n", 3, 9, {3}, {1000001}, {false}, true},
        {"text past the width", "a,b\n1,2,,,x\n", 3, 9, {3}, {5}, {true}, true},
        {"stopped after the first row", "a,b\n1,2\n3,4\n5,6\n", 3, 1, {2}, {2}, {false}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<CsvRow> rows;
        CsvRowReader reader;
        reader.fieldLimit = c.fieldLimit;
        reader.row = [&](const CsvRow& row) {
            rows.push_back(row);
            return rows.size() < c.stopAfter;
        };
        CsvHead head;
        std::string message = "untouched";
        EXPECT_EQ(ReadCsvRows(c.text, head, reader, message), c.read);
        EXPECT_EQ(message, c.read ? "untouched" : "");  // a stop is the caller's, not a refusal
        EXPECT_EQ(head.header, std::vector<std::string>({"a", "b"}));
        ASSERT_EQ(rows.size(), c.kept.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            EXPECT_EQ(rows[r].fields.size(), c.kept[r]);
            EXPECT_EQ(rows[r].fieldCount, c.counted[r]);
            EXPECT_EQ(rows[r].textBeyond, c.textBeyond[r]);
        }
    }
}

}  // namespace
