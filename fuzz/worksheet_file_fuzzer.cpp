// Fuzz target: the worksheet file as harrow-cli reads it, the checks that
// follow, a short engine run and both outputs; the number parser and the
// matrix window's rules on the same bytes.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/json_result.h"
#include "fuzz/memory_input_file.h"
#include "cli/worksheet_analysis.h"
#include "distributions/distributions.h"
#include "distributions/float_errors.h"
#include "analysis/worksheet/input_rules.h"
#include "analysis/worksheet/matrix_entry_rules.h"
#include "analysis/worksheet/data_file.h"
#include "analysis/worksheet/worksheet_data.h"

namespace {

// A few hundred draws instead of a million: the same code paths.
constexpr int FuzzIterations = 200;

void AnalyseFile()
{
    WorksheetAnalysis analysis;
    DataFileResult read = ReadDataFile(MemoryInputPath(), analysis.data);
    if (!read.ok()) return;
    analysis.data.PreviousDataLoaded = true;
    analysis.data.credibleLimit = static_cast<int>(analysis.data.Cell(0, NameColumn).size() % 3);
    try {
        if (!PrepareWorksheetAnalysis(analysis)) return;
        const AnalysisInputs& in = analysis.in;
        ClearFloatingPointErrors();
        RunOptions options;
        options.draws = FuzzIterations;
        options.twoSided = analysis.data.credibleLimit == TwoSided;
        BayesDeficitEngine(in, in.scores, options, analysis.out.condMean, analysis.out.condSD, analysis.out.result);
        RaiseFloatingPointErrors();
    } catch (const EFloatingPointError&) {
        return;
    } catch (const EAnalysisError&) {
        return;
    } catch (const EArgumentError&) {
        return;
    }
    ReportLines(analysis);
    FormatJsonResult(analysis.in, analysis.out, analysis.data.credibleLimit);
}

// The lines of the input as the cells of a lower-triangle matrix window
// whose size comes from the first byte; then "Continue" and "Clear Data".
void MatrixRules(const std::string& text, int size)
{
    tMatrixEntryBuffer buffer;
    for (int c = 1; c <= size; ++c) buffer[c][c] = 1.0;
    MatrixEntryState state(buffer, size, size, true);
    std::size_t at = 0;
    for (int c = 1; c <= size; ++c)
        for (int r = c; r <= size; ++r) {
            std::size_t end = text.find('\n', at);
            std::string cell = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
            state.SetText(c, r, cell);
            if (end == std::string::npos) at = text.size();
            else at = end + 1;
        }
    ContinueMatrix(state);
    ContinueMatrix(state);
    ClearMatrix(state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteMemoryInput(data, size);
    AnalyseFile();

    std::string text(reinterpret_cast<const char*>(data), size);
    ParseNumber(text);
    CheckNumericField(text, "Test No.1");
    LimitInputLength(text);
    WorksheetData worksheet;
    ApplyCovariateText(worksheet, text);
    int matrixSize = size > 0 ? 1 + data[0] % 8 : 1;
    MatrixRules(size > 0 ? text.substr(1) : text, matrixSize);
    return 0;
}
