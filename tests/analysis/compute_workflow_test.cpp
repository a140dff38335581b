// The Compute workflow every front end runs: which step ends it, whether the
// correlation entry is asked and the worksheet kept, and what it keeps.
#include <gtest/gtest.h>

#include "analysis/run/compute_workflow.h"
#include "tests/support/filled_worksheet.h"
#include "tests/support/recording_messages.h"

namespace {

// Answers as scripted, writing r21 into the matrix when it accepts.
class ScriptedEntry : public CorrelationEntry {
public:
    CorrelationAnswer answer;
    double r21 = 0.25;
    int asked = 0;
    CorrelationAnswer Enter(tMatrixEntryBuffer& buffer, int, const std::vector<std::string>&) override
    {
        ++asked;
        if (answer.outcome == CorrelationAnswer::Accepted) buffer[1][2] = buffer[2][1] = r21;
        return answer;
    }
};

class CountingKeeper : public WorksheetKeeper {
public:
    int kept = 0;
    int keptP = 0;
    void Keep(const WorksheetData&, int p) override
    {
        ++kept;
        keptP = p;
    }
};

struct Case {
    const char* name;
    ComputePurpose purpose;
    const char* k;
    const char* caseScore;  // the task's score cell
    CorrelationAnswer::Outcome answer;
    double r21;
    PreparedCompute::Status status;
    int asked;
    int kept;
};

TEST(ComputeWorkflow, EachPathEndsWhereItShould)
{
    using S = PreparedCompute;
    using A = CorrelationAnswer;
    const auto single = ComputePurpose::SingleCase;
    const auto series = ComputePurpose::CaseSeries;
    const Case cases[] = {
        {"sound worksheet", single, "2", "70", A::Accepted, 0.25, S::Ready, 1, 1},
        {"no covariates: nothing to enter", single, "0", "70", A::Accepted, 0.25, S::Ready, 0, 1},
        {"entry left", single, "2", "70", A::Cancelled, 0.25, S::Cancelled, 1, 0},
        {"correlation refused", single, "2", "70", A::Refused, 0.25, S::CorrelationRefused, 1, 0},
        {"score refused before the entry", single, "2", "x", A::Accepted, 0.25, S::InputRefused, 0, 0},
        {"a series ignores the score", series, "2", "x", A::Accepted, 0.25, S::Ready, 1, 1},
        {"kept, then refused as a whole", single, "2", "70", A::Accepted, -0.99, S::NotPositiveDefinite, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::RecordingMessages messages;
        platform::ScopedMessages scope{messages};
        WorksheetData data = FilledWorksheet(c.k, "30");
        data.Cell(0, ScoreColumn) = c.caseScore;
        data.PreviousDataLoaded = true;  // the entry starts from the stored correlations
        ScriptedEntry entry;
        entry.answer.outcome = c.answer;
        entry.r21 = c.r21;
        CountingKeeper keeper;

        const PreparedCompute prepared = PrepareCompute(data, c.purpose, entry, keeper);

        EXPECT_EQ(prepared.status, c.status);
        EXPECT_EQ(entry.asked, c.asked);
        EXPECT_EQ(keeper.kept, c.kept);
        EXPECT_EQ(data.Cell(0, ScoreColumn), c.caseScore) << "the worksheet's own cell stays";
        if (c.kept) {
            EXPECT_EQ(keeper.keptP, data.fields[CovariatesField] == "0" ? 1 : 3);
        }
        const bool entered = c.asked && c.answer == A::Accepted;
        EXPECT_EQ(data.CorrelationsEntered, entered);
        EXPECT_EQ(data.StoredCorrelations[1][2], entered ? c.r21 : 0.5);
        if (c.status == S::Ready) {
            EXPECT_EQ(prepared.in.p(), c.k[0] == '0' ? 1 : 3);
            EXPECT_EQ(static_cast<double>(prepared.in.scores[1]), c.purpose == series ? 0.0 : 70.0);
            if (entered) {
                EXPECT_EQ(static_cast<double>(prepared.in.corr[1][2]), c.r21);
            }
        }
        if (c.status == S::NotPositiveDefinite) {
            EXPECT_EQ(prepared.focus.target, ComputeFocus::Field);
            EXPECT_EQ(prepared.focus.field, CovariatesField);
        }
        EXPECT_EQ(messages.shown.size(), c.status == S::Ready || c.answer != A::Accepted ? 0u : 1u);
    }
}

}  // namespace
