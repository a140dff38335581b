// A case's score typed with --case or in the raw-data window is read with
// the number syntax of cases files and raw data.
#include <gtest/gtest.h>

#include <string>

#include "analysis/raw_data/raw_data_analysis.h"
#include "analysis/worksheet/input_rules.h"
#include "foundation/messages.h"
#include "tests/support/recording_messages.h"

namespace {

TEST(TypedScore, OneNumberSyntaxAsInCasesFiles)
{
    RawSummary summary;
    summary.k = 1;
    summary.names = {"task", "age"};
    // As in a cases file: a plain decimal is read as the worksheet reads it,
    // one with an exponent to the nearest double.
    const struct {
        const char* text;
        bool read;
        extended value;
    } cases[] = {
        {"+21", true, 21}, {"2.1e1", true, 21}, {"21", true, 21}, {"-0.5", true, -0.5L}, {".5", true, 0.5L},
        {"0.1", true, ParseNumber("0.1")}, {"1E-1", true, static_cast<extended>(0.1)},
        {"x", false, 0}, {"", false, 0}, {"1,5", false, 0}, {"inf", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        platform::RecordingMessages messages;
        platform::ScopedMessages scope(messages);
        tVector scores;
        int refused = -1;
        EXPECT_EQ(ReadCaseScores(summary, {"30", c.text}, scores, &refused), c.read);
        if (c.read) {
            EXPECT_EQ(scores[2], c.value);
            EXPECT_TRUE(messages.shown.empty());
        } else {
            EXPECT_EQ(refused, 1);
            EXPECT_EQ(messages.shown.size(), 1u);
        }
    }
}

}  // namespace
