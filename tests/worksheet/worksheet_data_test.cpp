// The worksheet record: start-up state, default names, Clear Data, notes and
// the whole-number reading of the covariate field.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/messages.h"
#include "worksheet/worksheet_data.h"

namespace {

void ExpectIdentity(const tStoredCorrelations& s)
{
    for (int c = 1; c <= StoredCorrelationsCapacity; ++c)
        for (int r = 1; r <= StoredCorrelationsCapacity; ++r) ASSERT_EQ(s[c][r], c == r ? 1.0 : 0.0) << c << "," << r;
}

TEST(WorksheetData, StartsEmptyWithFourRowsAndIdentity)
{
    WorksheetData d;
    EXPECT_EQ(d.GridRows, 4);
    EXPECT_EQ(d.credibleLimit, TwoSided);
    EXPECT_FALSE(d.PreviousDataLoaded);
    EXPECT_TRUE(d.notes.empty());
    for (const std::string& f : d.fields) EXPECT_TRUE(f.empty());
    EXPECT_TRUE(d.Cell(0, NameColumn).empty());
    ExpectIdentity(d.StoredCorrelations);
    EXPECT_EQ(WorksheetData::RowNumberText(0), "1");
    EXPECT_EQ(WorksheetData::RowNumberText(11), "12");
}

TEST(WorksheetData, DefaultNamesSurviveRowsAddedLater)
{
    WorksheetData d;
    d.Cell(2, MeanColumn) = "5";
    d.WriteDefaultNames();
    EXPECT_EQ(d.Cell(2, MeanColumn), "");
    d.SetGridRows(4);
    d.SetGridRows(8);
    EXPECT_EQ(d.Cell(0, NameColumn), "Task");
    for (int j = 1; j <= 6; ++j) EXPECT_EQ(d.Cell(j, NameColumn), "Cov " + std::to_string(j));
    EXPECT_EQ(d.Cell(7, NameColumn), "");
}

TEST(WorksheetData, ClearDataEmptiesEverythingTheUserTyped)
{
    WorksheetData d;
    d.WriteDefaultNames();
    d.fields[0] = "2";
    d.fields[1] = "30";
    d.notes = {"note"};
    d.Cell(1, SDColumn) = "3";
    d.StoredCorrelations[1][2] = 0.5;
    d.SetGridRows(3);
    d.credibleLimit = OneSidedUpper;
    d.PreviousDataLoaded = true;
    d.ClearData();
    for (const std::string& f : d.fields) EXPECT_TRUE(f.empty());
    EXPECT_TRUE(d.notes.empty());
    EXPECT_EQ(d.Cell(0, NameColumn), "");
    EXPECT_EQ(d.Cell(1, SDColumn), "");
    ExpectIdentity(d.StoredCorrelations);
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

TEST(SplitNotes, LinesAsTheMemoCountsThem)
{
    using L = std::vector<std::string>;
    EXPECT_EQ(SplitNotes(""), L{});
    EXPECT_EQ(SplitNotes("one"), L{"one"});
    EXPECT_EQ(SplitNotes("one\r\ntwo\r\n"), (L{"one", "two"}));
    EXPECT_EQ(SplitNotes("a\n\nb"), (L{"a", "", "b"}));
    EXPECT_EQ(SplitNotes("a\rb"), (L{"a", "b"}));
    EXPECT_EQ(SplitNotes("\n"), L{""});
}

TEST(ReadWholeNumberText, IntegerConversionOfTheCovariateField)
{
    int v = -99;
    EXPECT_TRUE(ReadWholeNumberText("3", v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(ReadWholeNumberText("  12", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ReadWholeNumberText("-3", v));
    EXPECT_EQ(v, -3);
    EXPECT_TRUE(ReadWholeNumberText("+4", v));
    EXPECT_EQ(v, 4);
    v = 7;
    for (const char* bad : {"", " ", "2.5", "2.0", "1e3", "3 ", "-", "99999999999", "x"}) {
        EXPECT_FALSE(ReadWholeNumberText(bad, v)) << bad;
        EXPECT_EQ(v, 7);
    }
    EXPECT_EQ(NotValidIntegerMessage("2.5"), "'2.5' is not a valid integer value");
}

TEST(ApplyCovariateText, WholeCountsSizeTheGridOthersLeaveIt)
{
    platform::RecordingMessages messages;
    platform::ScopedMessages scope(messages);
    WorksheetData d;
    EXPECT_TRUE(ApplyCovariateText(d, "3"));
    EXPECT_EQ(d.GridRows, 4);
    EXPECT_TRUE(ApplyCovariateText(d, "13"));
    EXPECT_EQ(d.GridRows, 14);
    EXPECT_TRUE(messages.shown.empty());
    for (const char* unchanged : {"0", "", "-"}) EXPECT_FALSE(ApplyCovariateText(d, unchanged)) << unchanged;
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(d.GridRows, 14);

    EXPECT_FALSE(ApplyCovariateText(d, "2.5"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(messages.shown[0].text, "'2.5' is not a valid integer value");
    messages.Clear();
    EXPECT_FALSE(ApplyCovariateText(d, "x"));  // the parser's warning only
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(d.GridRows, 14);

    // Counts no grid can show are clamped.
    EXPECT_TRUE(ApplyCovariateText(d, "-3"));
    EXPECT_EQ(d.GridRows, 1);
    EXPECT_TRUE(ApplyCovariateText(d, "2147483647"));
    EXPECT_EQ(d.GridRows, GridRowCapacity);
}

}  // namespace
