#include "exchange/json_text.h"

#include "exchange/import_support.h"

std::optional<Json> ParseJsonText(std::string_view text, PolarFileProblem& problem) {
    try {
        return Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        problem = ProblemAtOffset(text, e.byte > 0 ? e.byte - 1 : 0, "this is not valid JSON");
    } catch (const Json::exception&) {
        // For instance a number too large for any floating-point type.
        problem = ProblemAt(1, 1, "this JSON holds a value that cannot be read");
    }
    return std::nullopt;
}
