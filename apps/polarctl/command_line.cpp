#include "apps/polarctl/command_line.h"

#include <charconv>

std::optional<std::string> ParsedArgs::Option(const std::string& strName) const {
    const auto it = options.find(strName);
    if (it == options.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool ParseArgs(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
               const std::set<std::string>& flagOptions, ParsedArgs& parsed,
               std::string& strError) {
    bool bOptionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (bOptionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.aPositional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            bOptionsEnded = true;
            continue;
        }
        std::string strName = arg;
        std::optional<std::string> inlineValue;
        if (const auto nEq = arg.find('='); arg.rfind("--", 0) == 0 && nEq != std::string::npos) {
            strName = arg.substr(0, nEq);
            inlineValue = arg.substr(nEq + 1);
        }
        if (valueOptions.count(strName) != 0) {
            if (inlineValue) {
                parsed.options[strName] = *inlineValue;
            } else if (i + 1 < args.size()) {
                parsed.options[strName] = args[++i];
            } else {
                strError = "option " + strName + " needs a value";
                return false;
            }
        } else if (flagOptions.count(strName) != 0 && !inlineValue) {
            parsed.flags.insert(strName);
        } else {
            strError = "unknown option " + arg;
            return false;
        }
    }
    return true;
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
