// Fuzz target: a cases file as both front ends read it (under a file name
// taken from the input, non-ASCII and invalid UTF-8 bytes included), matched
// to variable names also taken from the input, then the series writers (CSV
// and JSON Lines) and the summary text on results made from the rows'
// scores, without the engine's long runs.
//
// Input: the variable names on the first line (separated by tabs), the file
// name on the second, the cases file's text after it.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/case_series/case_series.h"
#include "analysis/case_series/cases_file.h"
#include "cli/series_json.h"
#include "fuzz/memory_input_file.h"

namespace {

// A folder of the fuzzer's own where the input's file name links to the
// memory file holding the text.
const std::string& LinkFolder()
{
    static const std::string folder = [] {
        char name[] = "/tmp/harrow-cases-fuzz-XXXXXX";
        if (!::mkdtemp(name)) std::abort();
        return std::string(name);
    }();
    return folder;
}

std::string NextLine(const std::string& text, std::size_t& at)
{
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end < text.size() ? end + 1 : end;
    return line;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> parts(1);
    for (char ch : line)
        if (ch == '\t') parts.emplace_back();
        else parts.back() += ch;
    return parts;
}

// A file name of one path component: no '/' and not "." or "..".
std::string FileNameOf(std::string name)
{
    for (char& ch : name)
        if (ch == '/' || ch == '\0') ch = '_';
    if (name.empty() || name == "." || name == "..") name = "cases.csv";
    return name.substr(0, 200);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t at = 0;
    std::vector<std::string> names = SplitTabs(NextLine(input, at));
    if (names.size() > 6) names.resize(6);
    const std::string path = LinkFolder() + "/" + FileNameOf(NextLine(input, at));
    const std::string text = input.substr(at);
    WriteMemoryInput(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    ::unlink(path.c_str());
    if (::symlink(MemoryInputPath().c_str(), path.c_str()) != 0) return 0;

    std::vector<SeriesCase> cases;
    std::string message;
    const bool read = ReadCasesFile(path, names, cases, message);
    ::unlink(path.c_str());
    if (!read) return 0;

    SummaryData controls;
    controls.k = static_cast<int>(names.size()) - 1;
    controls.N = 20;
    controls.names = names;
    std::vector<SeriesResult> results;
    for (const SeriesCase& c : cases) {
        SeriesResult r;
        r.input = c;
        r.credibleLimit = static_cast<int>(c.line % 3);
        r.analysed = c.error.empty();
        r.error = c.error;
        if (r.analysed) {
            // Every number a row brings reaches the writers: extreme ones too.
            r.zScores = c.scores;
            r.condMean = c.scores[1];
            r.condSD = c.scores[names.size()];
            r.result.pctBelow = r.result.pctLower = c.scores[1];
            r.result.zccc = r.result.zcccUpper = c.scores[names.size()];
            r.mcse.pctBelow = c.scores[1] / 3;
        }
        results.push_back(r);
    }
    FormatSeriesCsv(controls, results);
    FormatSeriesJsonLines(controls, results);
    SeriesSummaryText(results, path);
    return 0;
}
