#pragma once
// The worksheet's data, apart from any window: the numeric field texts, the
// data grid, the stored correlations, the credible-limit choice and the
// notes. The desktop window mirrors its controls into this record; the
// command line fills it from its input. Program-wide texts live here too.
#include <array>
#include <string>
#include <vector>

inline constexpr char ProgramTitle[] =
    "Harrow: Bayesian test for a deficit in the single case controlling for covariate(s) (Summary data as input)";
// The title line of a report without covariates.
inline constexpr char NoCovariatesTitle[] =
    "Harrow: Bayesian test for a deficit in the single case (Summary data as input)";
inline constexpr char DataFileName[] = "Harrow.txt";

// Captions that the checks and the report quote.
inline constexpr char CovariatesCaption[] = "Number of covariates : ";         // Label1
inline constexpr char SampleSizeCaption[] = "Sample size (N) of control sample:";  // Label2
inline constexpr char ItemsCaption[] = "Test No.";                              // lblItems
inline constexpr char SDCaption[] = "SD";                                       // lblCol3
inline constexpr char NotesCaption[] = "User's Notes:";                         // lblComments
inline constexpr char GridRowsLimitMessage[] = "Maximum size of grid is 12 rows.";

constexpr int NumericFieldCount = 8;  // room for eight; the first two are used
constexpr int FieldsShown = 2;
constexpr int FieldsStored = 2;
constexpr int CovariatesField = 0;    // txtInput1
constexpr int SampleSizeField = 1;    // txtInput2

constexpr int GridColumns = 5;        // row number, Name, Mean, SD, Score
constexpr int NameColumn = 1;
constexpr int MeanColumn = 2;
constexpr int SDColumn = 3;
constexpr int ScoreColumn = 4;
constexpr int StartGridRows = 4;
// Rows the grid can ever hold. The covariate field allows 12 covariates
// (13 rows); the capacity leaves room and everything is clamped to it.
constexpr int GridRowCapacity = 100;
constexpr int DefaultNamedRows = 7;   // "Task", "Cov 1" .. "Cov 6"

// Correlations kept between analyses: 20 x 20 doubles, 1-based. Element
// [c][r] is shown in matrix-window row r, column c.
constexpr int StoredCorrelationsCapacity = 20;
struct tStoredCorrelations {
    double e[StoredCorrelationsCapacity + 1][StoredCorrelationsCapacity + 1] = {};
    double* operator[](int c) { return e[c]; }
    const double* operator[](int c) const { return e[c]; }
    void SetIdentity();  // whole 20 x 20 block
};

// The credible-limit choice (radio item index).
enum CredibleLimitChoice : int { TwoSided = 0, OneSidedLower = 1, OneSidedUpper = 2 };

struct WorksheetData {
    WorksheetData();  // start-up state before the data file is read (see Reset)

    std::array<std::string, NumericFieldCount> fields;  // texts as typed
    int GridRows = StartGridRows;                       // 1 .. GridRowCapacity
    tStoredCorrelations StoredCorrelations;
    int credibleLimit = TwoSided;                       // 0, 1 or 2
    bool reportExact = false;                           // the frequentist test's block in the report
    std::vector<std::string> notes;                     // one entry per memo line
    bool PreviousDataLoaded = false;
    // Correlations were entered in this session: the entry window starts
    // from them from then on, with or without a data file read at start-up.
    bool CorrelationsEntered = false;

    // Editable cells, row 0 .. GridRowCapacity - 1, column 1 .. 4 (names,
    // means, SDs, scores). Throws std::out_of_range outside those.
    std::string& Cell(int row, int column);
    const std::string& Cell(int row, int column) const;
    // Text of the row-number column: "1" for row 0, "2" for row 1, ...
    static std::string RowNumberText(int row);

    // Sets GridRows, clamped to 1 .. GridRowCapacity. Cell texts are kept.
    void SetGridRows(int rows);

    // Start-up state: empty fields and notes, identity correlations, 4 grid
    // rows, every cell empty, two-sided, PreviousDataLoaded and CorrelationsEntered false.
    void Reset();
    // Empties every editable cell and writes "Task", "Cov 1" .. "Cov 6" into
    // the name column of rows 0 .. 6 (also beyond GridRows, so that rows
    // added later show their default names).
    void WriteDefaultNames();
    // "Clear Data " of the worksheet: empty fields, notes and every editable
    // cell (names too), identity correlations. GridRows, the choice and
    // PreviousDataLoaded stay. Deleting the data file is the caller's.
    void ClearData();

private:
    std::string cells_[GridRowCapacity][GridColumns];
};

// The memo text split into lines as the memo counts them: "\r\n", "\n" or
// "\r" end a line; a text ending in a line end has no extra empty line; ""
// has no lines.
std::vector<std::string> SplitNotes(const std::string& text);

// The covariate field as a whole number, as the platform's integer conversion
// reads it (optional blanks, optional sign, decimal digits, nothing else,
// within int range). False for anything else ("2.5", "", "1e3").
bool ReadWholeNumberText(const std::string& text, int& value);
// "'%s' is not a valid integer value" with the text.
std::string NotValidIntegerMessage(const std::string& text);

// The covariate field's change: ParseNumber of the text (its warning on a
// refused character); a whole-number text "0" gives one row (the task
// alone); when the value is not 0 the text must be a whole
// number (otherwise the integer-conversion message in an error box) and
// GridRows becomes that number + 1, clamped to 1 .. GridRowCapacity.
// True when GridRows was set.
bool ApplyCovariateText(WorksheetData& data, const std::string& text);
