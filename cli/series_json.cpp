#include "cli/series_json.h"

#include <nlohmann/json.hpp>

namespace {

std::string JsonString(const std::string& text)
{
    // The cases file is checked to be UTF-8; replace anything else all the same.
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

std::string FormatSeriesJsonLines(const SummaryData& controls, const std::vector<SeriesResult>& results, bool exactOnly)
{
    const std::vector<std::string> keys = SeriesKeys(controls, exactOnly);
    std::string text;
    for (const SeriesResult& r : results) {
        std::vector<SeriesValue> values = SeriesValues(controls, r, exactOnly);
        text += '{';
        for (std::size_t i = 0; i < keys.size(); ++i) {
            text += (i ? "," : "") + JsonString(keys[i]) + ':';
            const SeriesValue& v = values[i];
            switch (v.kind) {
            case SeriesValue::Text: text += JsonString(v.text); break;
            case SeriesValue::Integer: text += std::to_string(v.integer); break;
            case SeriesValue::Real: text += FormatSeriesReal(v.real); break;
            case SeriesValue::Missing: text += "null"; break;
            }
        }
        text += "}\n";
    }
    return text;
}
