// Feeds arbitrary bytes to the language file loader. The translator must answer lookups, and
// the pairs it found must encode and decode back to themselves.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "translation/language_file.h"
#include "translation/string_translator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    STRING_TRANSLATOR translator(300);
    translator.LoadLanguageBytes(bytes);
    const LanguagePairs pairs = DecodeLanguageFile(bytes);
    for (const auto& [key, value] : pairs) {
        const char* pszAnswer = translator.Translate(key.c_str());
        if (pszAnswer == nullptr) {
            std::abort();
        }
    }
    LanguagePairs withKeys;
    for (const auto& pair : pairs) {
        if (!pair.first.empty()) {
            withKeys.push_back(pair);
        }
    }
    std::string encoded;
    std::string error;
    if (!EncodeLanguageFile(withKeys, encoded, error) || DecodeLanguageFile(encoded) != withKeys) {
        std::abort();
    }
    return 0;
}
