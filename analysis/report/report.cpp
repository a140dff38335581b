#include "analysis/report/report.h"

#include "analysis/worksheet/input_rules.h"
#include "foundation/c_locale_format.h"

namespace {

const std::string Rule = " " + std::string(93, '_');
// Stands between two reports in the same text.
const std::string ReportSeparator(102, '_');

void AppendCredibleLimitBlock(std::vector<std::string>& lines, int choice, const tBayesResult& r)
{
    lines.push_back(" ");
    if (choice == OneSidedLower || choice == OneSidedUpper) {
        bool lower = choice == OneSidedLower;
        lines.push_back(" Effect size (Z-CCC) for difference between score of case versus controls (plus 95% one-sided ");
        lines.push_back(lower ? " lower Credible Limit on the effect size):" : " upper Credible Limit on the effect size):");
        if (lower)
            lines.push_back(FormatC(" Effect size (Z-CCC) = %2.3Lf (95%% lower Credible Limit on effect size = %3.3Lf)",
                                    r.zccc, r.zcccLower));
        else
            lines.push_back(FormatC(" Effect size (Z-CCC) = %2.3Lf (95%% upper Credible Limit on effect size = %3.3Lf)",
                                    r.zccc, r.zcccUpper));
        lines.push_back("");
        if (lower) {
            lines.push_back(" Percentage of control population exhibiting a lower score than the ");
            lines.push_back(" case (plus 95% one-sided lower Credible Limit):");
            lines.push_back(FormatC(" Bayesian point estimate    = %2.4Lf%% (95%% lower Credible Limit = %3.4Lf%%)",
                                    r.pctBelow, r.pctLower));
        } else {
            lines.push_back(" Percentage of control population exhibiting a lower score than the ");
            lines.push_back(" case (plus 95% one-sided upper Credible Limit):");
            lines.push_back(FormatC(" Bayesian point estimate    = %2.4Lf%% (95%% upper Credible Limit = %3.4Lf%%)",
                                    r.pctBelow, r.pctUpper));
        }
    } else {
        lines.push_back(" Effect size (Z-CCC) for difference between case versus controls (plus 95% Credible Interval on the");
        lines.push_back(" effect size):");
        lines.push_back(FormatC(" Effect size (Z-CCC) = %2.3Lf (95%% CI on effect size = %3.3Lf  to  %3.3Lf)", r.zccc,
                                r.zcccLower, r.zcccUpper));
        lines.push_back("");
        lines.push_back(" Percentage of control population exhibiting a lower score than the case (plus 95% Credible Interval):");
        lines.push_back(FormatC(" Bayesian point estimate    = %2.4Lf%% (95%% CI = %3.4Lf%%  to  %3.4Lf%%)", r.pctBelow,
                                r.pctLower, r.pctUpper));
    }
    lines.push_back(" ");
}

const char* CredibleLimitName(int choice)
{
    if (choice == OneSidedLower) return "One-sided lower";
    if (choice == OneSidedUpper) return "One-sided upper";
    return "Two-sided";
}

}  // namespace

namespace {

void AppendReportBody(std::vector<std::string>& lines, const ReportHeading& heading, const AnalysisInputs& in,
                      const AnalysisOutputs& out)
{
    lines.push_back("");
    lines.push_back(ProgramTitle);
    lines.push_back("");
    lines.push_back(" THIS PROGRAM IMPLEMENTS STATISTICAL METHODS DEVELOPED IN THE FOLLOWING PAPER:");
    lines.push_back(" Bayesian test for a deficit in a single case relative to a control sample, with the case's score on");
    lines.push_back(" the task conditioned on its scores on one or more covariates; summary statistics of the controls");
    lines.push_back(" as input, estimates from 1,000,000 Monte Carlo draws from the posterior distribution.");
    lines.push_back("");
    lines.push_back("");
    if (!heading.notes.empty()) {
        lines.push_back(std::string(" ") + NotesCaption + " " + heading.notes[0]);
        for (std::size_t i = 1; i < heading.notes.size(); ++i) lines.push_back(std::string(15, ' ') + heading.notes[i]);
        lines.push_back(" ");
    }
    lines.push_back(" INPUTS:");
    if (!heading.sourceLine.empty()) lines.push_back(heading.sourceLine);
    lines.push_back(FormatInputLine(CovariatesCaption, heading.covariatesText));
    lines.push_back(FormatInputLine(SampleSizeCaption, heading.sampleSizeText));
    lines.push_back(std::string(" Credible limit required: ") + CredibleLimitName(heading.credibleLimit));
    lines.push_back("");
    lines.push_back(" Summary statistics for control sample together with scores of the case:");
    lines.push_back(Rule);
    lines.push_back("  Measure               Control        Control        Score for              z score  ");
    lines.push_back("                         Mean            SD             Case                 for case");
    lines.push_back(Rule);
    lines.push_back(" " + FormatC(" Task of Interest: %11.3Lf  %13.3Lf   %13.3Lf         %13.3Lf", in.means[1], in.sds[1],
                                  in.scores[1], in.zScores[1]));
    lines.push_back("");
    for (int j = 1; j <= in.k; ++j)
        lines.push_back(" " + FormatC(" Covariate%2d:      %11.3Lf  %13.3Lf   %13.3Lf         %13.3Lf", j,
                                      in.means[j + 1], in.sds[j + 1], in.scores[j + 1], in.zScores[j + 1]));
    lines.push_back(Rule);
    lines.push_back(" ");
    lines.push_back(" ");
    lines.push_back("");
    WriteMatrixLines(in.corr, in.p(), " Correlation(s) between task and covariate(s) in control sample:", lines);
    lines.push_back("");
    lines.push_back(FormatC(" Sample estimate of conditional mean for Task of Interest = %8.3Lf", out.condMean));
    lines.push_back(FormatC(" Sample estimate of conditional SD for Task of Interest   = %8.3Lf", out.condSD));
    lines.push_back("");
    lines.push_back("");
    lines.push_back(" OUTPUTS:");
    lines.push_back("");
    lines.push_back(" Bayesian hypothesis test - probability that the case's score is an observation from the control");
    lines.push_back(" population:");
    lines.push_back(FormatC(" One-tailed probability = %2.5Lf ", out.result.pOneTailed));
    lines.push_back(FormatC(" Two-tailed probability = %2.5Lf ", out.result.pTwoTailed));
    AppendCredibleLimitBlock(lines, heading.credibleLimit, out.result);
    lines.push_back(" ");
}

}  // namespace

ReportHeading ReportHeadingOf(const WorksheetData& data)
{
    ReportHeading heading;
    heading.covariatesText = data.fields[CovariatesField];
    heading.sampleSizeText = data.fields[SampleSizeField];
    heading.credibleLimit = data.credibleLimit;
    heading.notes = data.notes;
    return heading;
}

void AppendReport(std::vector<std::string>& lines, const ReportHeading& heading, const AnalysisInputs& in,
                  const AnalysisOutputs& out)
{
    if (!lines.empty()) lines.push_back(ReportSeparator);
    AppendReportBody(lines, heading, in, out);
}

std::vector<std::string> ReportLines(bool afterEarlierLines, const ReportHeading& heading, const AnalysisInputs& in,
                                     const AnalysisOutputs& out)
{
    std::vector<std::string> lines;
    if (afterEarlierLines) lines.push_back(ReportSeparator);
    AppendReportBody(lines, heading, in, out);
    return lines;
}
