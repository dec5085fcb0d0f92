#include "apps/polarctl/command_line.h"

#include <charconv>

std::optional<std::string> ParsedArgs::Option(const std::string& strName) const {
    const auto it = options.find(strName);
    if (it == options.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<int> ParseIndex(const std::string& strText) {
    int n = 0;
    const char* pEnd = strText.data() + strText.size();
    const auto [p, ec] = std::from_chars(strText.data(), pEnd, n);
    if (ec != std::errc() || p != pEnd || n < 0 || strText.empty()) {
        return std::nullopt;
    }
    return n;
}
