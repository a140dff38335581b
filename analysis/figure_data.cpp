#include "analysis/figure_data.h"

FigureData MakeFigureData(const WorksheetData& data, const AnalysisInputs& in, const tBayesResult& result,
                          const tDrawSummary& summary)
{
    FigureData figure;
    figure.taskName = data.Cell(0, NameColumn);
    figure.k = in.k;
    figure.N = in.N;
    figure.credibleLimit = data.credibleLimit;
    figure.result = result;
    figure.summary = summary;
    return figure;
}
