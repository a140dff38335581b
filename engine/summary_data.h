#pragma once
// The control sample as every analysis takes it, whichever way it was given
// (a worksheet, raw control data, the control sample of a case series), and
// the few choices of a run.
#include <string>
#include <vector>

#include "matrix/matrix_handling.h"

struct SummaryData {
    int k = 0;                       // covariates
    int N = 0;                       // control sample size
    std::vector<std::string> names;  // k + 1 variable names, the task first
    tVector means;                   // 1 .. k + 1, the task first
    tVector sds;
    tMatrix corr;                    // (k + 1) x (k + 1), [i][j] between variables i and j

    int p() const { return k + 1; }  // variables: the task and the covariates
};

// How a run draws and which limits it gives: every analysis of the program
// makes 1,000,000 draws on a freshly reset random stream and gives 95% limits.
struct RunOptions {
    bool twoSided = true;   // two-sided credible limits, else the one-sided positions
    int draws = 1000000;
    int level = 95;         // credible level, in percent
    bool resetSeed = true;  // restart the shared random stream first (a single run)
};
