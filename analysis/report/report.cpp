#include "analysis/report/report.h"

#include "analysis/files/csv_table.h"
#include "analysis/worksheet/input_rules.h"
#include "foundation/c_locale_format.h"

namespace {

const std::string Rule = " " + std::string(93, '_');
// Stands between two reports in the same text.
const std::string ReportSeparator(102, '_');

// Without covariates the effect size is Z-CC, not Z-CCC.
std::string NamedEffectSize(std::string line, int k)
{
    if (k > 0) return line;
    const std::string::size_type at = line.find("Z-CCC");
    if (at != std::string::npos) line.erase(at + 4, 1);
    return line;
}

void AppendCredibleLimitBlock(std::vector<std::string>& lines, int choice, const tBayesResult& r,
                              const tMonteCarloError& error)
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
    // How far the point estimate may lie from the posterior's own mean
    // through the finite number of draws.
    lines.push_back(FormatC(" Monte Carlo standard error of the point estimate = %.4Lf percentage points",
                            error.pctBelow));
    lines.push_back(" ");
}

// A probability with five decimals, or in exponent form where five would
// show nothing but zeros.
std::string Probability(extended p)
{
    return p >= 0.000005L || p == 0 ? FormatC("%.5Lf", p) : FormatC("%.3Le", p);
}

void AppendExactBlock(std::vector<std::string>& lines, int choice, int k, const ExactOutcome& exact)
{
    lines.push_back(" Frequentist test (exact values):");
    if (!exact.computed) {
        lines.push_back(" " + exact.failure);
        lines.push_back(" ");
        return;
    }
    const tExactResult& e = exact.values;
    lines.push_back(k > 0 ? " Test of the obtained against the predicted score:" : " Modified t-test:");
    lines.push_back(FormatC(" t = %.3Lf, df = %d", e.t, e.df));
    lines.push_back(" One-tailed probability = " + Probability(e.pOneTailed));
    lines.push_back(" Two-tailed probability = " + Probability(e.pTwoTailed));
    const char* effect = k > 0 ? "Z-CCC" : "Z-CC";
    if (choice == OneSidedLower) {
        lines.push_back(FormatC(" Percentage of control population below the case = %.4Lf%% (95%% lower limit = %.4Lf%%)",
                                e.pctBelow, e.pctLower));
        lines.push_back(FormatC(" Effect size (%s): 95%% lower limit = %.3Lf", effect, e.zcccLower));
    } else if (choice == OneSidedUpper) {
        lines.push_back(FormatC(" Percentage of control population below the case = %.4Lf%% (95%% upper limit = %.4Lf%%)",
                                e.pctBelow, e.pctUpper));
        lines.push_back(FormatC(" Effect size (%s): 95%% upper limit = %.3Lf", effect, e.zcccUpper));
    } else {
        lines.push_back(FormatC(" Percentage of control population below the case = %.4Lf%% (95%% CI = %.4Lf%%  to  %.4Lf%%)",
                                e.pctBelow, e.pctLower, e.pctUpper));
        lines.push_back(FormatC(" Effect size (%s): 95%% CI = %.3Lf  to  %.3Lf", effect, e.zcccLower, e.zcccUpper));
    }
    lines.push_back(" ");
}

// " Variables: Task of Interest = Memory; Covariate 1 = Age": the names the
// user gave, a variable without one left out; empty when none has one.
std::string VariablesLine(const AnalysisInputs& in)
{
    std::string named;
    for (int i = 0; i < in.p() && static_cast<std::size_t>(i) < in.names.size(); ++i) {
        const std::string name = TrimCsvField(in.names[static_cast<std::size_t>(i)]);
        if (name.empty()) continue;
        named += (named.empty() ? "" : "; ") + (i == 0 ? std::string("Task of Interest") : FormatC("Covariate %d", i)) +
                 " = " + name;
    }
    return named.empty() ? named : " Variables: " + named;
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
    lines.push_back(in.k > 0 ? ProgramTitle : NoCovariatesTitle);
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
    const std::string variables = VariablesLine(in);
    if (!variables.empty()) lines.push_back(variables);
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
    if (in.k > 0) {
        lines.push_back("");
        WriteMatrixLines(in.corr, in.p(), " Correlation(s) between task and covariate(s) in control sample:", lines);
    }
    lines.push_back("");
    if (in.k > 0) {
        lines.push_back(FormatC(" Sample estimate of conditional mean for Task of Interest = %8.3Lf", out.condMean));
        lines.push_back(FormatC(" Sample estimate of conditional SD for Task of Interest   = %8.3Lf", out.condSD));
    }
    lines.push_back("");
    lines.push_back("");
    lines.push_back(" OUTPUTS:");
    lines.push_back("");
    lines.push_back(" Bayesian hypothesis test - probability that the case's score is an observation from the control");
    lines.push_back(" population:");
    lines.push_back(FormatC(" One-tailed probability = %2.5Lf ", out.result.pOneTailed));
    lines.push_back(FormatC(" Two-tailed probability = %2.5Lf ", out.result.pTwoTailed));
    lines.push_back(in.k > 0 ? " (one-tailed: in the direction of the case's difference from its predicted score)"
                             : " (one-tailed: in the direction of the case's difference from the control mean)");
    std::vector<std::string> limitBlock;
    AppendCredibleLimitBlock(limitBlock, heading.credibleLimit, out.result, out.mcse);
    for (const std::string& line : limitBlock) lines.push_back(NamedEffectSize(line, in.k));
    if (heading.reportExact) AppendExactBlock(lines, heading.credibleLimit, in.k, out.exact);
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
    heading.reportExact = data.reportExact;
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
