#pragma once
// The Compute command's order, the same for every front end: the checks of
// the two fields and the grid, the correlation entry, the keeping of the
// worksheet, then the gathering, the positive-definiteness refusal and the
// z-scores. A front end supplies how correlations are entered (the matrix
// window, or the stored values accepted as they are) and how the worksheet is
// kept (the data file, or not at all); the run itself, one analysis or a case
// series, follows on the prepared inputs. Raw control data enter at the
// gathering: they have no fields, grid or correlation entry.
#include <string>
#include <vector>

#include "analysis/run/compute_checks.h"
#include "analysis/worksheet/matrix_entry_rules.h"
#include "analysis/worksheet/worksheet_data.h"

struct CorrelationAnswer {
    enum Outcome { Accepted, Cancelled, Refused };
    Outcome outcome = Accepted;
    int row = 0;     // Refused: the cell whose message has been shown
    int column = 0;
};

class CorrelationEntry {
public:
    virtual ~CorrelationEntry() = default;
    // The p x p correlations (p > 1) of the variables named (the task
    // first), starting from the buffer as the worksheet prefilled it; on
    // Accepted the buffer holds the entries.
    virtual CorrelationAnswer Enter(tMatrixEntryBuffer& buffer, int p, const std::vector<std::string>& names) = 0;
};

class WorksheetKeeper {
public:
    virtual ~WorksheetKeeper() = default;
    // Keeps the checked worksheet and its p x p correlations; a failure is
    // reported to the user and the analysis goes on.
    virtual void Keep(const WorksheetData& data, int p) = 0;
};

// The worksheet's own scores for one case, or the control sample alone for a
// series of cases read elsewhere (the score cells are then neither checked
// nor used).
enum class ComputePurpose { SingleCase, CaseSeries };

struct PreparedCompute {
    enum Status {
        Ready,
        InputRefused,         // a field or grid cell: see focus
        CorrelationRefused,   // see correlation.row and .column
        Cancelled,            // the correlation entry was left
        NotPositiveDefinite,  // the correlations as a whole
    };
    Status status = InputRefused;
    int k = 0;  // once the fields passed their checks
    int N = 0;
    ComputeFocus focus;
    CorrelationAnswer correlation;
    AnalysisInputs in;  // Ready: the control sample and the case
};

// Every refusal has shown its message. The correlations accepted are kept in
// data for the rest of the session. Throws EAnalysisError (with the user's
// message) when a number cannot be used.
PreparedCompute PrepareCompute(WorksheetData& data, ComputePurpose purpose, CorrelationEntry& entry,
                               WorksheetKeeper& keeper);

// The last steps for a control sample given as statistics (raw control
// data): the positive-definiteness refusal (its box shown) and, for a single
// case, the case's z-scores. Ready or NotPositiveDefinite; a number that
// cannot be used is thrown as by PrepareCompute.
PreparedCompute PrepareSummaryCompute(const SummaryData& controls, const tVector& caseScores,
                                      ComputePurpose purpose);

// For front ends that keep no worksheet (the command line).
class NoWorksheetKeeping : public WorksheetKeeper {
public:
    void Keep(const WorksheetData&, int) override {}
};
