// The correlation window's rules: cell texts, "Continue" and "Clear Data".
#include <gtest/gtest.h>

#include "comma_locale.h"
#include "entry/Metrics_Papers.h"
#include "entry/matrix_entry_rules.h"
#include "platform/messages.h"

using platform::Answer;
using platform::MessageKind;

namespace {

const std::string kRange = "Valid matrix values are BETWEEN -1 and +1. Please re-enter matrix values";

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

    tMatrixEntryBuffer buffer;
    platform::RecordingMessages messages;
    platform::ScopedMessages scope{messages};
};

TEST_F(MatrixEntry, CellsShowTheLowerTriangleOfTheBuffer)
{
    buffer[1][3] = 0.12345;
    buffer[2][3] = -0.5;
    MatrixEntryState state(buffer, 3, 3, true);
    EXPECT_EQ(state.Text(1, 1), "1.000");
    EXPECT_EQ(state.Text(1, 2), "0.000");
    EXPECT_EQ(state.Text(1, 3), "0.123");
    EXPECT_EQ(state.Text(2, 3), "-0.500");
    EXPECT_FALSE(state.Exists(2, 1));  // above the diagonal
    EXPECT_FALSE(state.Exists(4, 4));
    EXPECT_EQ(state.Text(2, 1), "");
    state.SetText(3, 1, "0.9");  // ignored: no such cell
    EXPECT_EQ(state.Text(3, 1), "");

    MatrixEntryState full(buffer, 3, 2, false);
    EXPECT_TRUE(full.Exists(3, 1));
    EXPECT_FALSE(full.Exists(1, 3));
    EXPECT_FALSE(full.Confirmed(1, 2));
}

TEST_F(MatrixEntry, IdentityAsksForEachZeroCellInColumnOrder)
{
    MatrixEntryState state(buffer, 3, 3, true);
    MatrixContinueResult r = ContinueMatrix(state);
    EXPECT_TRUE(r.accepted);
    const std::vector<std::string> expected = {
        "Do you want continue with cell (2,1) set to the default value of '0.000'?",
        "Do you want continue with cell (3,1) set to the default value of '0.000'?",
        "Do you want continue with cell (3,2) set to the default value of '0.000'?"};
    EXPECT_EQ(Questions(), expected);
    EXPECT_EQ(messages.shown.size(), 3u);

    // Confirmed cells are not asked about again by the same window ...
    messages.Clear();
    EXPECT_TRUE(ContinueMatrix(state).accepted);
    EXPECT_TRUE(messages.shown.empty());
    // ... but a new window asks again.
    MatrixEntryState again(buffer, 3, 3, true);
    EXPECT_TRUE(ContinueMatrix(again).accepted);
    EXPECT_EQ(Questions().size(), 3u);
}

TEST_F(MatrixEntry, NoToAQuestionStopsOnThatCellAndKeepsEarlierValues)
{
    MatrixEntryState state(buffer, 3, 3, true);
    state.SetText(1, 2, "0.4");
    messages.ScriptAnswers({Answer::No});
    MatrixContinueResult r = ContinueMatrix(state);
    EXPECT_FALSE(r.accepted);
    EXPECT_EQ(r.column, 1);
    EXPECT_EQ(r.row, 3);
    EXPECT_EQ(Questions(), std::vector<std::string>{
                               "Do you want continue with cell (3,1) set to the default value of '0.000'?"});
    // Cell (2,1) passed before the stop: stored and mirrored.
    EXPECT_DOUBLE_EQ(buffer[1][2], 0.4);
    EXPECT_DOUBLE_EQ(buffer[2][1], 0.4);
    EXPECT_FALSE(state.Confirmed(1, 3));

    messages.Clear();
    messages.ScriptAnswers({Answer::Yes, Answer::No});
    r = ContinueMatrix(state);
    EXPECT_FALSE(r.accepted);
    EXPECT_EQ(r.column, 2);
    EXPECT_EQ(r.row, 3);
    EXPECT_TRUE(state.Confirmed(1, 3));
}

TEST_F(MatrixEntry, OffDiagonalValuesMustLieStrictlyBetweenMinusOneAndOne)
{
    for (const char* bad : {"1", "1.000", "-1", "1.5", "-7"}) {
        messages.Clear();
        MatrixEntryState state(buffer, 3, 3, true);
        state.SetText(1, 2, "0.2");
        state.SetText(2, 3, bad);
        state.SetText(1, 3, "0.1");
        MatrixContinueResult r = ContinueMatrix(state);
        EXPECT_FALSE(r.accepted) << bad;
        EXPECT_EQ(r.column, 2) << bad;
        EXPECT_EQ(r.row, 3) << bad;
        ASSERT_EQ(messages.shown.size(), 1u) << bad;
        EXPECT_EQ(messages.shown[0].kind, MessageKind::Information);
        EXPECT_EQ(messages.shown[0].text, kRange);
    }
    messages.Clear();
    MatrixEntryState state(buffer, 3, 3, true);
    state.SetText(1, 2, "0.999");
    state.SetText(1, 3, "-0.999");
    state.SetText(2, 3, "-.5");
    EXPECT_TRUE(ContinueMatrix(state).accepted);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_DOUBLE_EQ(buffer[3][1], -0.999);
    EXPECT_DOUBLE_EQ(buffer[3][2], -0.5);
    EXPECT_DOUBLE_EQ(buffer[2][2], 1.0);
}

TEST_F(MatrixEntry, UnreadableCellsGetTheParserWarning)
{
    MatrixEntryState state(buffer, 3, 3, true);
    state.SetText(1, 2, "0,5");  // a comma is a point here
    state.SetText(1, 3, "abc");
    MatrixContinueResult r = ContinueMatrix(state);
    EXPECT_FALSE(r.accepted);
    EXPECT_EQ(r.column, 1);
    EXPECT_EQ(r.row, 3);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(messages.shown[0].text,
              "There is an invalid data entry, which will be highlighted once you click 'OK', please re-enter.");
    EXPECT_DOUBLE_EQ(buffer[1][2], 0.5);
}

TEST_F(MatrixEntry, ValuesComeBackWithThreeDecimalsAndOnlyExactZeroTextIsAsked)
{
    buffer[1][2] = buffer[2][1] = 0.12345;
    MatrixEntryState state(buffer, 3, 3, true);
    state.SetText(1, 3, "0");
    state.SetText(2, 3, ".0");
    EXPECT_TRUE(ContinueMatrix(state).accepted);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_DOUBLE_EQ(buffer[1][2], 0.123);
    EXPECT_DOUBLE_EQ(buffer[2][1], 0.123);
    EXPECT_EQ(buffer[1][3], 0.0);
}

TEST_F(MatrixEntry, ClearDataZeroesTheCellsBelowTheDiagonalOnYes)
{
    buffer[1][2] = buffer[2][1] = 0.3;
    buffer[1][3] = buffer[3][1] = 0.4;
    buffer[2][3] = buffer[3][2] = 0.5;
    MatrixEntryState state(buffer, 3, 3, true);

    messages.ScriptAnswers({Answer::No});
    EXPECT_FALSE(ClearMatrix(state));
    EXPECT_EQ(state.Text(1, 2), "0.300");
    EXPECT_EQ(buffer[1][2], 0.3);
    EXPECT_EQ(messages.shown.back().text, "Clear data from matrix ?");

    state.SetText(1, 2, "0.000");
    state.SetText(1, 3, "0.1");
    state.SetText(2, 3, "0.2");
    messages.ScriptAnswers({Answer::Yes});
    EXPECT_TRUE(ContinueMatrix(state).accepted);  // confirms (2,1)
    EXPECT_TRUE(state.Confirmed(1, 2));

    messages.Clear();
    EXPECT_TRUE(ClearMatrix(state));
    for (int c = 1; c <= 3; ++c)
        for (int r = c + 1; r <= 3; ++r) {
            EXPECT_EQ(state.Text(c, r), "0.000");
            EXPECT_EQ(buffer[c][r], 0.0);
        }
    EXPECT_EQ(state.Text(2, 2), "1.000");
    EXPECT_DOUBLE_EQ(buffer[3][2], 0.2);  // the other triangle waits for the next Continue
    EXPECT_TRUE(state.Confirmed(1, 2));

    messages.Clear();
    EXPECT_TRUE(ContinueMatrix(state).accepted);
    EXPECT_EQ(Questions(), (std::vector<std::string>{
                               "Do you want continue with cell (3,1) set to the default value of '0.000'?",
                               "Do you want continue with cell (3,2) set to the default value of '0.000'?"}));
    EXPECT_EQ(buffer[3][2], 0.0);
}

TEST_F(MatrixEntry, CellTextsUseADecimalPointInACommaLocale)
{
    REQUIRE_COMMA_LOCALE(german);
    buffer[1][2] = 0.25;
    MatrixEntryState state(buffer, 2, 2, true);
    EXPECT_EQ(state.Text(1, 2), "0.250");
    EXPECT_EQ(FormatMatrixCell(-0.5), "-0.500");
}

}  // namespace
