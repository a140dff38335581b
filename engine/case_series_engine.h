#pragma once
// A case series: many cases against one control sample. Each case gets
// exactly the numbers BayesDeficitEngine gives for it on a freshly reset
// random stream; the draws that depend only on the control sample (residual
// SD and regression coefficients) are made once and shared by every case.
#include <exception>
#include <functional>
#include <vector>

#include "engine/bayes_deficit_engine.h"
#include "engine/draw_summary.h"

struct tSeriesCaseResult {
    bool analysed = false;         // false: `failure` holds what a single run of this case raises
    std::exception_ptr failure;
    extended condMean = 0;
    extended condSD = 0;
    tBayesResult result;
    tMonteCarloError mcse;
};

// caseScores[c] is laid out as BayesDeficitEngine's caseScores (1: task,
// 2..k+1: covariates). `progress` is called with the number of cases done and
// returns false to cancel; the function then returns false and `results` is
// left incomplete. Errors tied to the control sample alone (the regression
// cannot be formed) are thrown as BayesDeficitEngine throws them.
bool CaseSeriesEngine(int k, int N, int iterations, bool twoSided, int credPct, const tVector& sds,
                      const tVector& means, const tMatrix& corr, const std::vector<tVector>& caseScores,
                      const std::function<bool(int done)>& progress, std::vector<tSeriesCaseResult>& results);
