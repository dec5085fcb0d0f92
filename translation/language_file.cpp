#include "translation/language_file.h"

namespace {

bool AppendString(const std::string& strText, std::string& strBytes, std::string& strError) {
    if (strText.find('\0') != std::string::npos) {
        strError = "a string holds a zero byte";
        return false;
    }
    if (strText.size() + 1 > kMaxStoredLanguageString) {
        strError =
            "a string is longer than " + std::to_string(kMaxStoredLanguageString - 1) + " bytes";
        return false;
    }
    for (char c : strText) {
        strBytes.push_back(static_cast<char>(~static_cast<unsigned char>(c)));
    }
    strBytes.push_back(static_cast<char>(0xFF));
    return true;
}

}  // namespace

std::size_t ScanLanguageFile(std::string_view bytes,
                             const std::function<void(std::string&&, std::string&&)>& onPair) {
    std::size_t nUsed = 0;
    std::size_t nOffset = 0;
    std::string strCurrent;
    std::string strKey;
    bool bKeyState = true;
    std::size_t nStored = 0;
    for (char stored : bytes) {
        const auto uc = static_cast<unsigned char>(stored);
        ++nStored;
        ++nOffset;
        const bool bComplete = uc == 0xFF;
        if (bComplete) {
            if (bKeyState) {
                strKey = std::move(strCurrent);
            } else {
                onPair(std::move(strKey), std::move(strCurrent));
                nUsed = nOffset;
            }
            strCurrent.clear();
            bKeyState = !bKeyState;
        } else {
            strCurrent.push_back(static_cast<char>(~uc));
        }
        if (nStored == kMaxStoredLanguageString) {
            break;
        }
        if (bComplete) {
            nStored = 0;
        }
    }
    return nUsed;
}

LanguagePairs DecodeLanguageFile(std::string_view bytes, std::size_t* pnUsed) {
    LanguagePairs aPairs;
    const std::size_t nUsed =
        ScanLanguageFile(bytes, [&](std::string&& strKey, std::string&& strValue) {
            aPairs.emplace_back(std::move(strKey), std::move(strValue));
        });
    if (pnUsed != nullptr) {
        *pnUsed = nUsed;
    }
    return aPairs;
}

bool EncodeLanguageFile(const LanguagePairs& aPairs, std::string& strBytes, std::string& strError) {
    strBytes.clear();
    for (std::size_t i = 0; i < aPairs.size(); ++i) {
        const auto& [strKey, strValue] = aPairs[i];
        std::string strWhy;
        if (strKey.empty()) {
            strWhy = "the key is empty";
        } else if (AppendString(strKey, strBytes, strWhy)) {
            AppendString(strValue, strBytes, strWhy);
        }
        if (!strWhy.empty()) {
            strError = "pair " + std::to_string(i + 1) + ": " + strWhy;
            return false;
        }
    }
    return true;
}
