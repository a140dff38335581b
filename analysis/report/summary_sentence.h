#pragma once
// One sentence that states an analysis's result as psychology journals do,
// for pasting into a paper or a clinical report: the control sample, the
// covariates by the names the user gave, the direction of the case's
// difference from its predicted score, the effect size with its 95% limits,
// the one-tailed p and the estimated percentage of controls below the case.
//
// Numbers have a decimal point in every locale; negative numbers carry the
// true minus sign U+2212 (UTF-8), as typeset text does. The report and the
// case series' files keep the ASCII hyphen.
#include <string>

#include "analysis/run/compute_checks.h"

// "Compared with 20 controls, and controlling for Educ, the case's Task
// score was below its predicted score: Z-CCC = −1.73, 95% CI [−2.51, −0.84];
// one-tailed p = .063; an estimated 6.29% of the control population (95% CI
// 0.61% to 20.05%) would score lower." Without covariates the case is
// compared with the control mean and the effect size is Z-CC; a one-sided
// choice gives its one limit, called one-sided.
std::string SummarySentence(const AnalysisInputs& in, const AnalysisOutputs& out, int credibleLimit);

// A p-value as APA style writes it after "p ": "= .063" (three decimals,
// no leading zero), "< .001" below 0.001, "> .999" for a value that would round to 1.000.
std::string ApaPValue(double p);
