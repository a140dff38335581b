// A correlation matrix pasted into the matrix window, and copied out of it.
#include <gtest/gtest.h>

#include "analysis/worksheet/pasted_matrix.h"
#include "tests/support/recording_messages.h"

namespace {

struct PasteCase {
    const char* what;
    const char* text;
    const char* refusal;  // "" when the paste is taken
    const char* below[3];  // then the cells (1,2), (1,3), (2,3)
};

const char* const NotAMatrix =
    "The pasted text is not a correlation matrix of these 3 variables: paste 3 rows (the full matrix or its lower "
    "triangle), one value per cell.";

TEST(PastedMatrix, TakesTheShapesSpreadsheetsCopyAndRefusesOnceNamingTheCell)
{
    const PasteCase cases[] = {
        {"full, tabs", "1\t0.5\t0.2\n0.50\t1\t-0.3\n0.2\t-0.3\t1\n", "", {"0.50", "0.2", "-0.3"}},
        {"lower with diagonal, semicolons, decimal commas", "1\r\n0,5;1\r\n0,2;-0,3456;1\r\n", "",
         {"0.5", "0.2", "-0.3456"}},
        {"below the diagonal only, commas", "0.5\n0.2,-0.3\n", "", {"0.5", "0.2", "-0.3"}},
        {"with the names the copy writes", "\tMemory\tYears\tAge\nMemory\t1\nYears\t.5\t1\nAge\t.25\t-.3\t1\n", "",
         {".5", ".25", "-.3"}},
        {"rectangle with a blank upper half", "1\t\t\n0.5\t1\t\n0.2\t-0.3\t1\n", "", {"0.5", "0.2", "-0.3"}},
        {"longer than a cell", "0.12345678901234567\n0\t0\n", "", {"0.123", "0", "0"}},
        {"a letter", "1\n0.5\t1\n0.2\tx\t1\n",
         "\"x\" is not a number: the correlation of Years with Age must be a number strictly between -1 and +1.", {}},
        {"a missing cell", "1\n0.5\t1\n0.2\n",
         "An empty cell is not a number: the correlation of Years with Age must be a number strictly between -1 and "
         "+1.",
         {}},
        {"out of range", "0.5\n1.2\t0.3\n", "The correlation of Memory with Age must lie strictly between -1 and +1.",
         {}},
        {"asymmetric", "1\t0.5\t0.2\n0.4\t1\t0.3\n0.2\t0.3\t1\n",
         "The pasted matrix is not symmetric: the correlation of Memory with Years reads 0.4 below the diagonal and "
         "0.5 above it.",
         {}},
        {"diagonal not 1", "0.9\n0.5\t1\n0.2\t0.3\t1\n",
         "The pasted diagonal holds \"0.9\" for Memory with itself: a correlation matrix has 1 there.", {}},
        {"too many rows", "1\n0.5\t1\n0.2\t0.3\t1\n0.1\t0.1\t0.1\t1\n", NotAMatrix, {}},
        {"a row too long", "1\t0\t0\t0\n0.5\t1\n0.2\t0.3\t1\n", NotAMatrix, {}},
    };
    for (const PasteCase& c : cases) {
        SCOPED_TRACE(c.what);
        platform::RecordingMessages messages;
        platform::ScopedMessages scope{messages};
        tMatrixEntryBuffer buffer;
        MatrixEntryState state(buffer, 3, 3, true);
        state.SetNames({"Memory", "Years", "Age"});
        const MatrixPasteOutcome outcome = PasteIntoMatrix(state, 1, 2, c.text);
        EXPECT_EQ(outcome.refusal, c.refusal);
        EXPECT_EQ(outcome.pasted, *c.refusal == '\0');
        EXPECT_TRUE(messages.shown.empty());  // the window shows the refusal, once
        const std::pair<int, int> cells[3] = {{1, 2}, {1, 3}, {2, 3}};  // a refused paste changes none
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(state.Text(cells[i].first, cells[i].second), outcome.pasted ? c.below[i] : "0.000") << i;
    }
}

TEST(PastedMatrix, ASingleValueGoesIntoTheChosenCellAndACopyPastesBack)
{
    tMatrixEntryBuffer buffer, other;
    for (int i = 1; i <= 3; ++i) buffer[i][i] = other[i][i] = 1;
    MatrixEntryState state(buffer, 3, 3, true), again(other, 3, 3, true);
    for (MatrixEntryState* s : {&state, &again}) s->SetNames({"Memory", "", "Age"});
    EXPECT_TRUE(PasteIntoMatrix(state, 2, 3, " -0,25 ").pasted);
    EXPECT_EQ(state.Text(2, 3), "-0.25");
    EXPECT_EQ(PasteIntoMatrix(state, 1, 3, "1").refusal,
              "The correlation of Memory with Age must lie strictly between -1 and +1.");
    EXPECT_EQ(state.Text(1, 3), "0.000");

    const std::string copied = CopyMatrix(state);
    EXPECT_EQ(copied, "\tMemory\tvariable 2\tAge\nMemory\t1.000\nvariable 2\t0.000\t1.000\nAge\t0.000\t-0.25\t1.000\n");
    ASSERT_TRUE(PasteIntoMatrix(again, 1, 2, copied).pasted);
    EXPECT_EQ(CopyMatrix(again), copied);
}

}  // namespace
