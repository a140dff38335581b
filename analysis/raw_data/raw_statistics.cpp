#include "analysis/raw_data/raw_statistics.h"

#include <cmath>

#include "analysis/run/compute_checks.h"
#include "analysis/files/csv_table.h"
#include "analysis/worksheet/input_rules.h"
#include "analysis/worksheet/worksheet_data.h"
#include "foundation/messages.h"

const char* const NoTaskMessage = "Choose the task of interest.";

namespace {

// Controls named in the refusal of incomplete ones.
constexpr std::size_t RowsNamed = 5;

bool Refuse(const std::string& message)
{
    platform::ShowError(message);
    return false;
}

// The columns chosen, task first; false after a refusal.
bool ChooseColumns(const RawDataTable& table, const RawDataChoice& choice, std::vector<int>& chosen)
{
    if (choice.covariates.size() > 5)
        return Refuse(CovariateCountMessage(choice.covariates.size()));
    if (CsvColumnKey(choice.task).empty()) return Refuse(NoTaskMessage);
    std::vector<std::string> names{choice.task};
    names.insert(names.end(), choice.covariates.begin(), choice.covariates.end());
    chosen.clear();
    for (const std::string& name : names) {
        int column = FindRawColumn(table, name);
        if (column == -1) return Refuse(UnknownVariableMessage(name, table));
        if (column == -2) return Refuse(AmbiguousVariableMessage(name, table.fileName));
        const RawColumn& c = table.columns[static_cast<std::size_t>(column)];
        if (!c.numeric) return Refuse(NotNumericMessage(c.name, table.fileName, c.notNumericReason));
        for (int earlier : chosen)
            if (earlier == column) return Refuse(ChosenTwiceMessage(c.name));
        chosen.push_back(column);
    }
    return true;
}

std::string IncompleteControlsMessage(const RawDataTable& table, const std::vector<std::size_t>& incomplete)
{
    std::size_t count = incomplete.size();
    std::string rows;
    std::size_t named = std::min(count, RowsNamed);
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0) rows += i + 1 == named && named == count ? " and " : ", ";
        rows += std::to_string(table.RowNumber(incomplete[i]));
    }
    if (count > named) rows += " and " + std::to_string(count - named) + " more";
    std::string word = table.rowWord + (count > 1 ? "s" : "");
    std::string who = count == 1 ? "1 control has" : std::to_string(count) + " controls have";
    return who + " no value for one or more of the chosen variables (" + word + " " + rows + " of \"" +
           table.fileName + "\"): complete " + std::string(count == 1 ? "it" : "them") + ", or leave out incomplete controls.";
}

// The first variable j whose correlations with the variables before it make
// the leading j x j block fail the positive-definiteness test (0 when none),
// and those of them it depends on: the ones with a weight in its regression
// on them.
int FindLinearDependence(const tMatrix& corr, int p, const std::vector<std::string>& names,
                         std::vector<std::string>& dependsOn)
{
    dependsOn.clear();
    if (IsPositiveDefinite(p, corr)) return 0;
    int j = 1;
    while (j < p && IsPositiveDefinite(j + 1, corr)) ++j;
    const int dependent = j + 1;  // blocks 1..j pass, block j + 1 fails
    tMatrix inverse;
    InvertMatrix(corr, j, inverse);
    for (int i = 1; i <= j; ++i) {
        extended weight = 0;
        for (int l = 1; l <= j; ++l) weight += inverse[i][l] * corr[l][dependent];
        if (std::fabs(weight) > 1e-6L) dependsOn.push_back(names[static_cast<std::size_t>(i - 1)]);
    }
    return dependent;
}

}  // namespace

std::string CovariateCountMessage(std::size_t chosen)
{
    return "Choose from 0 to 5 covariates (" + std::to_string(chosen) + (chosen == 1 ? " was" : " were") +
           " chosen).";
}

std::string UnknownVariableMessage(const std::string& name, const RawDataTable& table)
{
    // The numeric variables, the ones that can be chosen; a long list is cut short.
    constexpr std::size_t Listed = 20;
    std::vector<std::string> names;
    for (const RawColumn& column : table.columns)
        if (column.numeric) names.push_back("\"" + column.name + "\"");
    std::string message = "There is no variable \"" + name + "\" in \"" + table.fileName + "\".";
    if (names.empty()) return message + " It has no numeric variables.";
    const std::size_t shown = std::min(names.size(), Listed);
    std::string list;
    for (std::size_t i = 0; i < shown; ++i) list += (i ? ", " : "") + names[i];
    if (names.size() > shown) list += " and " + std::to_string(names.size() - shown) + " more";
    return message + " Its numeric variables: " + list + ".";
}

std::string TooFewControlsMessage(const std::string& fileName, std::size_t rows, std::size_t usable,
                                  std::size_t dropped)
{
    if (rows == 0) return "\"" + fileName + "\" holds no controls: the analysis needs at least 3.";
    std::string has = usable == 0   ? "no control"
                      : usable == 1 ? "only 1 control"
                                    : "only " + std::to_string(usable) + " controls";
    std::string left = dropped == 0 ? "" : " (" + std::to_string(dropped) + " incomplete left out)";
    return "\"" + fileName + "\" has " + has + " with a value for every chosen variable" + left +
           ": the analysis needs at least 3.";
}

std::string LinearlyDependentMessage(const std::string& name, const std::vector<std::string>& on)
{
    std::string list;
    for (std::size_t i = 0; i < on.size(); ++i)
        list += std::string(i == 0 ? "" : i + 1 == on.size() ? " and " : ", ") + "\"" + on[i] + "\"";
    return "Analysis cannot proceed as the correlation matrix of the chosen variables is not positive definite: "
           "\"" + name + "\" is linearly dependent on " + (on.empty() ? std::string("the other variables") : list) +
           " (its values follow from theirs). Drop one of these variables.";
}

std::string AmbiguousVariableMessage(const std::string& name, const std::string& fileName)
{
    return "More than one variable of \"" + fileName + "\" is named \"" + name + "\": rename all but one.";
}

std::string NotNumericMessage(const std::string& name, const std::string& fileName, const std::string& reason)
{
    return "The variable \"" + name + "\" in \"" + fileName + "\" is not numeric (" + reason + ").";
}

std::string ChosenTwiceMessage(const std::string& name)
{
    return "The variable \"" + name + "\" is chosen twice.";
}

std::string NoSpreadMessage(const std::string& name)
{
    return "The variable \"" + name +
           "\" has the same value for every control: a variable without spread cannot be analysed.";
}

int FindRawColumn(const RawDataTable& table, const std::string& name)
{
    const std::string wanted = CsvColumnKey(name);
    int found = -1;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        if (CsvColumnKey(table.columns[c].name) != wanted) continue;
        if (found != -1) return -2;
        found = static_cast<int>(c);
    }
    return found;
}

std::vector<RawVariableOverview> NumericVariables(const RawDataTable& table)
{
    std::vector<RawVariableOverview> list;
    for (const RawColumn& column : table.columns) {
        if (!column.numeric) continue;
        RawVariableOverview v;
        v.name = column.name;
        extended sum = 0;
        for (double x : column.values) {
            if (std::isnan(x)) continue;
            sum += x;
            ++v.count;
        }
        v.missing = static_cast<long>(table.rows) - v.count;
        if (v.count > 0) v.mean = sum / v.count;
        // Second pass, as for the analysis: centred squares lose nothing to a large mean.
        if (v.count > 1) {
            extended squares = 0;
            for (double x : column.values)
                if (!std::isnan(x)) squares += (x - v.mean) * (x - v.mean);
            v.sd = std::sqrt(squares / (v.count - 1));
        }
        list.push_back(v);
    }
    return list;
}

bool SummariseRawData(const RawDataTable& table, const RawDataChoice& choice, RawSummary& summary)
{
    summary = RawSummary();
    summary.fileName = table.fileName;
    std::vector<int> chosen;
    if (!ChooseColumns(table, choice, chosen)) return false;
    const int p = static_cast<int>(chosen.size());
    std::vector<const std::vector<double>*> data;
    for (int column : chosen) data.push_back(&table.columns[static_cast<std::size_t>(column)].values);

    std::vector<std::size_t> used, incomplete;
    for (std::size_t r = 0; r < table.rows; ++r) {
        bool complete = true;
        for (const auto* values : data) complete = complete && r < values->size() && !std::isnan((*values)[r]);
        (complete ? used : incomplete).push_back(r);
    }
    if (!incomplete.empty() && !choice.dropIncomplete) return Refuse(IncompleteControlsMessage(table, incomplete));

    if (used.size() < 3)
        return Refuse(TooFewControlsMessage(table.fileName, table.rows, used.size(), incomplete.size()));
    const int n = static_cast<int>(used.size());
    if (!(p - 1 < n - 1)) return Refuse(MaxCovariatesMessage(n));

    for (int j = 0; j < p; ++j) {
        const std::vector<double>& x = *data[static_cast<std::size_t>(j)];
        bool spread = false;
        for (std::size_t r : used) spread = spread || x[r] != x[used.front()];
        if (!spread) return Refuse(NoSpreadMessage(table.columns[static_cast<std::size_t>(chosen[j])].name));
    }

    // First pass: the means.
    for (int j = 1; j <= p; ++j) {
        const std::vector<double>& x = *data[static_cast<std::size_t>(j - 1)];
        extended sum = 0;
        for (std::size_t r : used) sum += x[r];
        summary.means[j] = sum / n;
    }
    // Second pass: sums of centred products.
    tMatrix S;
    for (int j = 1; j <= p; ++j) {
        const std::vector<double>& x = *data[static_cast<std::size_t>(j - 1)];
        for (int l = j; l <= p; ++l) {
            const std::vector<double>& y = *data[static_cast<std::size_t>(l - 1)];
            extended sum = 0;
            for (std::size_t r : used) sum += (x[r] - summary.means[j]) * (y[r] - summary.means[l]);
            S[j][l] = S[l][j] = sum;
        }
    }
    for (int j = 1; j <= p; ++j) {
        summary.sds[j] = std::sqrt(S[j][j] / (n - 1));
        for (int l = 1; l <= p; ++l)
            summary.corr[j][l] = j == l ? 1.0L : S[j][l] / std::sqrt(S[j][j] * S[l][l]);
    }

    for (int column : chosen) summary.names.push_back(table.columns[static_cast<std::size_t>(column)].name);
    std::vector<std::string> dependsOn;
    if (const int dependent = FindLinearDependence(summary.corr, p, summary.names, dependsOn)) {
        summary = RawSummary();
        return Refuse(LinearlyDependentMessage(table.columns[static_cast<std::size_t>(chosen[dependent - 1])].name,
                                               dependsOn));
    }
    summary.k = p - 1;
    summary.N = n;
    summary.dropped = static_cast<int>(incomplete.size());
    return true;
}
