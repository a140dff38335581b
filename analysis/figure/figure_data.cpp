#include "analysis/figure/figure_data.h"

FigureData MakeFigureData(const std::string& taskName, int credibleLimit, const AnalysisInputs& in,
                          const AnalysisOutputs& out)
{
    FigureData figure;
    figure.taskName = taskName;
    figure.k = in.k;
    figure.N = in.N;
    figure.credibleLimit = credibleLimit;
    figure.result = out.result;
    figure.summary = out.summary;
    return figure;
}

FigureData MakeFigureData(const WorksheetData& data, const AnalysisInputs& in, const AnalysisOutputs& out)
{
    return MakeFigureData(data.Cell(0, NameColumn), data.credibleLimit, in, out);
}
