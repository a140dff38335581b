#include "analysis/raw_data/raw_data_analysis.h"

#include "analysis/case_series/cases_file.h"
#include "analysis/files/csv_table.h"

#include "analysis/worksheet/input_rules.h"
#include "analysis/report/report.h"

std::string RawDataSourceLine(const RawSummary& summary)
{
    return " Summary statistics computed from raw data: \"" + summary.fileName + "\", N = " +
           std::to_string(summary.N) + " controls, " + std::to_string(summary.dropped) + " incomplete control" +
           (summary.dropped == 1 ? "" : "s") + " left out";
}

bool ReadCaseScores(const RawSummary& summary, const std::vector<std::string>& texts, tVector& scores,
                    int* refused)
{
    scores = tVector();
    for (int i = 0; i < summary.p(); ++i) {
        const std::string text = i < static_cast<int>(texts.size()) ? texts[static_cast<std::size_t>(i)] : "";
        // The number syntax of cases files and raw data first ("+21", "2.1e1").
        double nearest = 0;
        if (ReadCsvNumber(text, '.', nearest) == CsvNumber::Ok) {
            scores[i + 1] = CaseScoreFromField(text, '.', nearest);
            continue;
        }
        scores[i + 1] = CheckNumericField(text, summary.names[static_cast<std::size_t>(i)]);
        if (InputError) {
            if (refused) *refused = i;
            return false;
        }
    }
    return true;
}

ReportHeading RawReportHeading(const RawSummary& summary, int credibleLimit, const std::vector<std::string>& notes)
{
    ReportHeading heading;
    heading.covariatesText = std::to_string(summary.k);
    heading.sampleSizeText = std::to_string(summary.N);
    heading.credibleLimit = credibleLimit;
    heading.notes = notes;
    heading.sourceLine = RawDataSourceLine(summary);
    return heading;
}
