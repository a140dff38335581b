#pragma once
// What the figure of one analysis shows: the task's name, k and N for the
// title, the estimates with the credible limit the user chose, and the
// summary of the run's Z-CCC draws. A copy, so it outlives the run.
#include <string>

#include "analysis/run/compute_checks.h"
#include "analysis/worksheet/worksheet_data.h"
#include "engine/bayes_deficit_engine.h"
#include "engine/draw_summary.h"

struct FigureData {
    std::string taskName;          // the grid's first name cell, as typed
    int k = 0;
    int N = 0;
    int credibleLimit = TwoSided;  // a CredibleLimitChoice
    tBayesResult result;
    tDrawSummary summary;          // draws == 0: no histogram
};

// The figure of an analysis just run: on the worksheet `data` (its first
// name cell names the task), or on any inputs with the task's name given.
FigureData MakeFigureData(const WorksheetData& data, const AnalysisInputs& in, const AnalysisOutputs& out);
FigureData MakeFigureData(const std::string& taskName, int credibleLimit, const AnalysisInputs& in,
                          const AnalysisOutputs& out);
