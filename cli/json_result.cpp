#include "cli/json_result.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "analysis/report/summary_sentence.h"
#include "analysis/run/result_fields.h"
#include "foundation/c_locale_format.h"

namespace {

using Json = nlohmann::ordered_json;

// A value's JSON text; bytes that are not UTF-8 (a raw file's name from an
// older system) become U+FFFD, as in the series' JSON Lines, so that the
// formatting never loses a result that has been computed.
std::string Dump(const Json& value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// nlohmann writes the shortest text that reads back; the output promises 17
// significant digits, so reals are written here ("%#.17g" keeps trailing
// zeros and always gives a point or an exponent, both valid JSON).
void WriteJson(const Json& value, std::string& text)
{
    switch (value.type()) {
    case Json::value_t::object: {
        text += '{';
        bool first = true;
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (!first) text += ',';
            first = false;
            text += Dump(Json(it.key()));
            text += ':';
            WriteJson(it.value(), text);
        }
        text += '}';
        break;
    }
    case Json::value_t::array: {
        text += '[';
        bool first = true;
        for (const Json& element : value) {
            if (!first) text += ',';
            first = false;
            WriteJson(element, text);
        }
        text += ']';
        break;
    }
    case Json::value_t::number_float: {
        double d = value.get<double>();
        text += std::isfinite(d) ? FormatC("%#.17g", d) : "null";
        break;
    }
    default:
        text += Dump(value);
        break;
    }
}

double Real(extended value) { return static_cast<double>(value); }

Json JsonValue(const OutputValue& value)
{
    switch (value.kind) {
    case OutputValue::Text: return value.text;
    case OutputValue::Integer: return value.integer;
    case OutputValue::Real: return value.real;
    case OutputValue::Missing: break;
    }
    return nullptr;
}

void AddFields(Json& object, const std::vector<OutputField>& fields)
{
    for (const OutputField& field : fields) object[field.key] = JsonValue(field.value);
}

}  // namespace

std::string FormatJsonResult(const AnalysisInputs& in, const AnalysisOutputs& out, int credibleLimit,
                             const RawSummary* raw)
{
    Json z = Json::array();
    for (int i = 1; i <= in.p(); ++i) z.push_back(Real(in.zScores[i]));

    Json object = Json::object();
    AddFields(object, RunHeadFields(in.k, in.N, credibleLimit));
    object["zScores"] = z;
    AddFields(object, EstimateFields(out.condMean, out.condSD, out.result, out.mcse));
    if (out.exact.computed) {
        Json exact = Json::object();
        AddFields(exact, ExactFields(out.exact));
        object["exact"] = exact;
    } else {
        object["exact"] = nullptr;
    }
    object["summary"] = SummarySentence(in, out, credibleLimit);
    if (raw) {
        object["source"] = "raw";
        object["file"] = raw->fileName;
        object["dropped"] = raw->dropped;
    }

    std::string text;
    WriteJson(object, text);
    return text;
}

std::string FormatJsonRawStatistics(const RawSummary& summary)
{
    Json means = Json::array();
    Json sds = Json::array();
    Json correlations = Json::array();
    for (int i = 1; i <= summary.p(); ++i) {
        means.push_back(Real(summary.means[i]));
        sds.push_back(Real(summary.sds[i]));
        Json row = Json::array();
        for (int j = 1; j <= summary.p(); ++j) row.push_back(Real(summary.corr[i][j]));
        correlations.push_back(row);
    }
    Json object = Json::object();
    object["source"] = "raw";
    object["file"] = summary.fileName;
    object["N"] = summary.N;
    object["dropped"] = summary.dropped;
    object["names"] = summary.names;
    object["means"] = means;
    object["sds"] = sds;
    object["correlations"] = correlations;

    std::string text;
    WriteJson(object, text);
    return text;
}
