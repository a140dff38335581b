// A case's score typed with --case or in the raw-data window is read with
// the number syntax of cases files and raw data.
#include <gtest/gtest.h>

#include <string>

#include "analysis/raw_data/raw_data_analysis.h"
#include "foundation/messages.h"
#include "tests/support/recording_messages.h"

namespace {

TEST(TypedScore, OneNumberSyntaxAsInCasesFiles)
{
    RawSummary summary;
    summary.k = 1;
    summary.names = {"task", "age"};
    const struct {
        const char* text;
        bool read;
        extended value;
    } cases[] = {
        {"+21", true, 21},     {"2.1e1", true, 21},  {"21", true, 21},      {"-0.5", true, -0.5L},
        {"1E-3", true, 0.001}, {".5", true, 0.5L},   {"x", false, 0},       {"", false, 0},
        {"1,5", false, 0},     {"inf", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        platform::RecordingMessages messages;
        platform::ScopedMessages scope(messages);
        tVector scores;
        int refused = -1;
        EXPECT_EQ(ReadCaseScores(summary, {"30", c.text}, scores, &refused), c.read);
        if (c.read) {
            // The value a cases file gives the same text.
            double nearest = 0;
            ASSERT_EQ(ReadCsvNumber(c.text, '.', nearest), CsvNumber::Ok);
            EXPECT_EQ(scores[2], CaseScoreFromField(c.text, '.', nearest));
            EXPECT_NEAR(static_cast<double>(scores[2]), static_cast<double>(c.value), 1e-15);
            EXPECT_TRUE(messages.shown.empty());
        } else {
            EXPECT_EQ(refused, 1);
            EXPECT_EQ(messages.shown.size(), 1u);
        }
    }
}

}  // namespace
