// The correlation window's rules: cell texts, "Continue" and "Clear Data".
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/recording_messages.h"
#include "tests/support/comma_locale.h"
#include "analysis/worksheet/matrix_entry_rules.h"
#include "foundation/messages.h"

using platform::Answer;
using platform::MessageKind;

namespace {

std::string Question(int row, int column)
{
    return "Do you want continue with cell (" + std::to_string(row) + "," + std::to_string(column) +
           ") set to the default value of '0.000'?";
}

class MatrixEntry : public ::testing::Test {
protected:
    MatrixEntry()
    {
        for (int i = 1; i <= 3; ++i) buffer[i][i] = 1.0;
    }
    std::vector<std::string> Questions() const
    {
        std::vector<std::string> q;
        for (const auto& m : messages.shown)
            if (m.kind == MessageKind::Confirmation) q.push_back(m.text);
        return q;
    }
    static void ExpectStop(const MatrixContinueResult& r, int column, int row)
    {
        EXPECT_FALSE(r.accepted);
        EXPECT_EQ(r.column, column);
        EXPECT_EQ(r.row, row);
    }

    tMatrixEntryBuffer buffer;
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
};

TEST_F(MatrixEntry, CellsShowTheLowerTriangleWithThreeDecimals)
{
    buffer[1][3] = 0.12345;
    buffer[2][3] = -0.5;
    MatrixEntryState state(buffer, 3, 3, true);
    EXPECT_EQ(state.Text(1, 1), "1.000");
    EXPECT_EQ(state.Text(1, 2), "0.000");
    EXPECT_EQ(state.Text(1, 3), "0.123");
    EXPECT_EQ(state.Text(2, 3), "-0.500");
    EXPECT_FALSE(state.Exists(2, 1));  // above the diagonal
    state.SetText(2, 1, "0.9");        // ignored
    EXPECT_EQ(state.Text(2, 1), "");
    EXPECT_TRUE(MatrixEntryState(buffer, 3, 2, false).Exists(3, 1));

    // "Continue" stores what the cells say: 0.12345 comes back as 0.123.
    state.SetText(1, 2, "0,5");  // a comma is a point here
    EXPECT_TRUE(ContinueMatrix(state).accepted);
    EXPECT_DOUBLE_EQ(buffer[1][3], 0.123);
    EXPECT_DOUBLE_EQ(buffer[3][1], 0.123);  // mirrored
    EXPECT_DOUBLE_EQ(buffer[2][1], 0.5);
}

TEST_F(MatrixEntry, IdentityAsksForEachZeroCellInColumnOrder)
{
    MatrixEntryState state(buffer, 3, 3, true);
    EXPECT_TRUE(ContinueMatrix(state).accepted);
    EXPECT_EQ(Questions(), (std::vector<std::string>{Question(2, 1), Question(3, 1), Question(3, 2)}));
    EXPECT_EQ(messages.shown.size(), 3u);
    // Confirmed cells are not asked about again by the same window, but a new
    // window asks again.
    messages.Clear();
    EXPECT_TRUE(ContinueMatrix(state).accepted);
    EXPECT_TRUE(messages.shown.empty());
    MatrixEntryState again(buffer, 3, 3, true);
    EXPECT_TRUE(ContinueMatrix(again).accepted);
    EXPECT_EQ(Questions().size(), 3u);
}

TEST_F(MatrixEntry, NoToAQuestionStopsOnThatCellAndKeepsEarlierValues)
{
    MatrixEntryState state(buffer, 3, 3, true);
    state.SetText(1, 2, "0.4");
    messages.ScriptAnswers({Answer::No});
    ExpectStop(ContinueMatrix(state), 1, 3);
    EXPECT_EQ(Questions(), std::vector<std::string>{Question(3, 1)});
    EXPECT_DOUBLE_EQ(buffer[2][1], 0.4);  // passed before the stop: stored, mirrored
    EXPECT_FALSE(state.Confirmed(1, 3));

    messages.ScriptAnswers({Answer::Yes, Answer::No});
    ExpectStop(ContinueMatrix(state), 2, 3);
    EXPECT_TRUE(state.Confirmed(1, 3));
}

// Off the diagonal the range is open on both sides; on it only the lower
// bound applies. A cell without a digit holds no number: refused, not read
// as 0; zeros not typed as "0.000" pass without a question. Variables without
// names are numbered.
TEST_F(MatrixEntry, RefusedValuesStopWithOneWarningNamingTheCell)
{
    const std::string range = "The correlation of Memory with Age must lie strictly between -1 and +1.";
    const std::string notNumber = " is not a number: the correlation of Memory with Age must be a number strictly "
                                  "between -1 and +1.";
    const std::string diagonal = "The correlation of Years with itself must be greater than -1.";
    const struct {
        int column, row;
        const char* text;
        std::string message;  // "" when accepted
        bool named = true;
    } cases[] = {
        {1, 3, "1", range},       {1, 3, "1.000", range},   {1, 3, "-1", range},
        {1, 3, "1.5", range},     {1, 3, "abc", "\"abc\"" + notNumber}, {1, 3, "", "An empty cell" + notNumber},
        {1, 3, "-", "\"-\"" + notNumber}, {1, 3, ".", "\".\"" + notNumber}, {1, 3, "-.", "\"-.\"" + notNumber},
        {1, 3, " ", "An empty cell" + notNumber}, {1, 3, "0.999", ""}, {1, 3, "-0.999", ""},
        {1, 3, ".0", ""},         {1, 3, "0", ""},          {2, 2, "1.5", ""},
        {2, 2, "1", ""},          {2, 2, "-0.999", ""},     {2, 2, "-1", diagonal},
        {2, 2, "-1.5", diagonal},
        {2, 3, "2", "The correlation of variable 2 with variable 3 must lie strictly between -1 and +1.", false},
        {2, 2, "-1", "The correlation of variable 2 with itself must be greater than -1.", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(c.column) + "," + std::to_string(c.row));
        messages.Clear();
        MatrixEntryState state(buffer, 3, 3, true);
        state.SetNames(c.named ? std::vector<std::string>{"Memory", "Years", "Age"} : std::vector<std::string>{"Memory", " "});
        state.SetText(1, 2, "0.2");
        state.SetText(1, 3, "0.1");
        state.SetText(2, 3, "0.3");
        state.SetText(c.column, c.row, c.text);
        const MatrixContinueResult r = ContinueMatrix(state);
        if (c.message.empty()) {
            EXPECT_TRUE(r.accepted);
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_DOUBLE_EQ(buffer[3][1], c.column == 1 ? std::atof(c.text) : 0.1);  // stored, mirrored
            continue;
        }
        ExpectStop(r, c.column, c.row);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(messages.shown[0].text, c.message);
    }
}

TEST_F(MatrixEntry, ClearDataZeroesTheCellsBelowTheDiagonalOnYes)
{
    buffer[1][2] = buffer[2][1] = 0.3;
    buffer[2][3] = buffer[3][2] = 0.5;
    MatrixEntryState state(buffer, 3, 3, true);
    messages.ScriptAnswers({Answer::No});
    EXPECT_FALSE(ClearMatrix(state));
    EXPECT_EQ(messages.shown.back().text, "Clear data from matrix ?");
    EXPECT_EQ(state.Text(1, 2), "0.300");

    state.SetText(1, 2, "0.000");
    state.SetText(1, 3, "0.1");
    EXPECT_TRUE(ContinueMatrix(state).accepted);  // confirms (2,1)
    messages.Clear();
    EXPECT_TRUE(ClearMatrix(state));
    for (int c = 1; c <= 3; ++c)
        for (int r = c + 1; r <= 3; ++r) {
            EXPECT_EQ(state.Text(c, r), "0.000");
            EXPECT_EQ(buffer[c][r], 0.0);
        }
    EXPECT_EQ(state.Text(2, 2), "1.000");
    EXPECT_DOUBLE_EQ(buffer[3][2], 0.5);  // the other triangle waits for the next Continue
    messages.Clear();
    EXPECT_TRUE(ContinueMatrix(state).accepted);
    EXPECT_EQ(Questions(), (std::vector<std::string>{Question(3, 1), Question(3, 2)}));  // (2,1) was confirmed
    EXPECT_EQ(buffer[3][2], 0.0);
}

TEST_F(MatrixEntry, ClearDataCoversRowsUpToTheColumnCountOnly)
{
    // A full 2-column, 4-row window: only cell (2,1) lies below the diagonal
    // of the leading square; rows 3 and 4 keep their values.
    for (int c = 1; c <= 2; ++c)
        for (int r = 1; r <= 4; ++r) buffer[c][r] = 0.25;
    MatrixEntryState tall(buffer, 2, 4, false);
    EXPECT_TRUE(ClearMatrix(tall));
    EXPECT_EQ(tall.Text(1, 2), "0.000");
    EXPECT_EQ(buffer[1][2], 0.0);
    for (int c = 1; c <= 2; ++c)
        for (int r = 3; r <= 4; ++r) {
            EXPECT_EQ(tall.Text(c, r), "0.250") << c << "," << r;
            EXPECT_EQ(buffer[c][r], 0.25) << c << "," << r;
        }
    // A wide one: rows beyond the window do not exist and are left alone.
    buffer[1][3] = buffer[3][4] = 0.25;
    MatrixEntryState wide(buffer, 4, 2, false);
    EXPECT_TRUE(ClearMatrix(wide));
    EXPECT_EQ(buffer[1][3], 0.25);
    EXPECT_EQ(buffer[3][4], 0.25);
}

TEST_F(MatrixEntry, CellTextsUseADecimalPointInACommaLocale)
{
    REQUIRE_COMMA_LOCALE(german);
    buffer[1][2] = 0.25;
    EXPECT_EQ(MatrixEntryState(buffer, 2, 2, true).Text(1, 2), "0.250");
}

}  // namespace
