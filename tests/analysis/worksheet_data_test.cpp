// The worksheet record: start-up state, default names, Clear Data, notes, and
// the covariate field sizing the grid.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/recording_messages.h"
#include "foundation/messages.h"
#include "analysis/worksheet/worksheet_data.h"

namespace {

bool IsIdentity(const tStoredCorrelations& s)
{
    for (int c = 1; c <= StoredCorrelationsCapacity; ++c)
        for (int r = 1; r <= StoredCorrelationsCapacity; ++r)
            if (s[c][r] != (c == r ? 1.0 : 0.0)) return false;
    return true;
}

TEST(WorksheetData, StartUpDefaultNamesAndClearData)
{
    WorksheetData d;
    EXPECT_EQ(d.GridRows, 4);
    EXPECT_TRUE(IsIdentity(d.StoredCorrelations));
    EXPECT_EQ(d.Cell(0, NameColumn), "");
    EXPECT_EQ(WorksheetData::RowNumberText(11), "12");

    d.Cell(2, MeanColumn) = "5";
    d.WriteDefaultNames();  // also for rows the grid does not show yet
    EXPECT_EQ(d.Cell(2, MeanColumn), "");
    EXPECT_EQ(d.Cell(0, NameColumn), "Task");
    for (int j = 1; j <= 6; ++j) EXPECT_EQ(d.Cell(j, NameColumn), "Cov " + std::to_string(j));
    EXPECT_EQ(d.Cell(7, NameColumn), "");

    d.fields[0] = "2";
    d.notes = {"note"};
    d.Cell(1, SDColumn) = "3";
    d.StoredCorrelations[1][2] = 0.5;
    d.SetGridRows(3);
    d.credibleLimit = OneSidedUpper;
    d.PreviousDataLoaded = true;
    d.ClearData();
    EXPECT_EQ(d.fields[0], "");
    EXPECT_TRUE(d.notes.empty());
    EXPECT_EQ(d.Cell(0, NameColumn), "");  // names too
    EXPECT_EQ(d.Cell(1, SDColumn), "");
    EXPECT_TRUE(IsIdentity(d.StoredCorrelations));
    EXPECT_EQ(d.GridRows, 3);
    EXPECT_TRUE(d.PreviousDataLoaded);
    EXPECT_EQ(d.credibleLimit, OneSidedUpper);
}

TEST(WorksheetData, GridIsBoundedByItsCapacity)
{
    WorksheetData d;
    d.SetGridRows(0);
    EXPECT_EQ(d.GridRows, 1);
    d.SetGridRows(1000000);
    EXPECT_EQ(d.GridRows, GridRowCapacity);
    EXPECT_NO_THROW(d.Cell(GridRowCapacity - 1, ScoreColumn));
    EXPECT_THROW(d.Cell(GridRowCapacity, NameColumn), std::out_of_range);
    EXPECT_THROW(d.Cell(-1, NameColumn), std::out_of_range);
    EXPECT_THROW(d.Cell(0, 0), std::out_of_range);
    EXPECT_THROW(d.Cell(0, GridColumns), std::out_of_range);
}

TEST(WorksheetData, NotesSplitAsTheMemoCountsLines)
{
    using L = std::vector<std::string>;
    EXPECT_EQ(SplitNotes(""), L{});
    EXPECT_EQ(SplitNotes("one\r\ntwo\r\n"), (L{"one", "two"}));
    EXPECT_EQ(SplitNotes("a\n\nb"), (L{"a", "", "b"}));
    EXPECT_EQ(SplitNotes("a\rb"), (L{"a", "b"}));
    EXPECT_EQ(SplitNotes("\n"), L{""});
}

TEST(WorksheetData, WholeNumberTextAsTheIntegerConversionReadsIt)
{
    int v = 0;
    for (auto [text, value] : {std::pair{"3", 3}, {"  12", 12}, {"-3", -3}, {"+4", 4}}) {
        EXPECT_TRUE(ReadWholeNumberText(text, v)) << text;
        EXPECT_EQ(v, value);
    }
    v = 7;
    for (const char* bad : {"", " ", "2.5", "2.0", "1e3", "3 ", "-", "99999999999", "x"})
        EXPECT_FALSE(ReadWholeNumberText(bad, v)) << bad;
    EXPECT_EQ(v, 7);
}

// Each text in turn: the grid follows a count it accepts (counts no grid can
// show are clamped) and stays as it was otherwise.
TEST(WorksheetData, CovariateFieldSizesTheGrid)
{
    using platform::MessageKind;
    const struct {
        const char* text;
        bool applied;
        int gridRows;
        const char* message;  // nullptr: none; "": the parser's warning
    } steps[] = {
        {"3", true, 4, nullptr},   {"13", true, 14, nullptr}, {"", false, 14, nullptr},
        {"-", false, 14, nullptr}, {"0.0", false, 14, nullptr}, {"0", true, 1, nullptr},  // the task alone
        {"13", true, 14, nullptr}, {"2.5", false, 14, "'2.5' is not a valid integer value"}, {"x", false, 14, ""},
        {"-3", true, 1, nullptr},  {"2147483647", true, GridRowCapacity, nullptr},
    };
    WorksheetData d;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.text);
        platform::RecordingMessages messages;
        platform::ScopedMessages scope(messages);
        EXPECT_EQ(ApplyCovariateText(d, step.text), step.applied);
        EXPECT_EQ(d.GridRows, step.gridRows);
        ASSERT_EQ(messages.shown.size(), step.message ? 1u : 0u);
        if (step.message) {
            EXPECT_EQ(messages.shown[0].kind, *step.message ? MessageKind::Error : MessageKind::Warning);
            if (*step.message) {
                EXPECT_EQ(messages.shown[0].text, step.message);
            }
        }
    }
}

}  // namespace
