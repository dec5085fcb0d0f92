#include "framework/text_translation.h"

#include <vector>

namespace {

TextTranslator& Current() {
    static TextTranslator translator;
    return translator;
}

}  // namespace

TextTranslator SetTextTranslator(TextTranslator translator) {
    TextTranslator previous = std::move(Current());
    Current() = std::move(translator);
    return previous;
}

std::string TranslateText(const std::string& strEnglish) {
    return Current() ? Current()(strEnglish) : strEnglish;
}

std::string FormatText(const std::string& strEnglish, std::initializer_list<std::string> values) {
    const std::string strPattern = TranslateText(strEnglish);
    const std::vector<std::string> aValues(values);
    std::string out;
    for (std::size_t i = 0; i < strPattern.size(); ++i) {
        if (strPattern[i] == '%' && i + 1 < strPattern.size() && strPattern[i + 1] >= '1' &&
            strPattern[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(strPattern[i + 1] - '1');
            if (n < aValues.size()) {
                out += aValues[n];
                ++i;
                continue;
            }
        }
        out.push_back(strPattern[i]);
    }
    return out;
}
