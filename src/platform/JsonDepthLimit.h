#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace vantorel {

// Copying, comparing and writing a JSON value walk it recursively, so a file of a few hundred
// kilobytes of brackets could exhaust the stack. Nothing we read nests anywhere near this deep.
inline constexpr int kMaximumJsonDepth = 64;

// Parses text, refusing it as soon as the parser goes deeper than kMaximumJsonDepth: the deep
// part is never built. Nullopt on failure, with the reason in *error.
inline std::optional<nlohmann::json> parseJsonWithinDepth(std::string_view text,
                                                          std::string& error) {
    using nlohmann::json;
    bool tooDeep = false;
    const json::parser_callback_t callback = [&tooDeep](int depth, json::parse_event_t event,
                                                        json&) {
        const bool opens =
            event == json::parse_event_t::object_start || event == json::parse_event_t::array_start;
        if (opens && depth >= kMaximumJsonDepth) tooDeep = true;
        return !tooDeep;
    };
    try {
        json parsed = json::parse(text, callback);
        if (tooDeep) {
            error = "it is nested deeper than " + std::to_string(kMaximumJsonDepth) + " levels";
            return std::nullopt;
        }
        return parsed;
    } catch (const json::exception& e) {
        error = e.what();
        return std::nullopt;
    }
}

}  // namespace vantorel
