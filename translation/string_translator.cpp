#include "translation/string_translator.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "translation/language_file.h"

STRING_TRANSLATOR* g_pTranslator = nullptr;

STRING_TRANSLATOR::STRING_TRANSLATOR(unsigned nCapacity) {
    // A fifth more buckets than entries keeps the chains short.
    m_map.rehash(nCapacity + nCapacity / 5);
}

STRING_TRANSLATOR::~STRING_TRANSLATOR() = default;

void STRING_TRANSLATOR::LoadLanguageFile(std::string strPath) {
    strPath += ".lgx";
    std::replace(strPath.begin(), strPath.end(), '\\', '/');
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(strPath.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        return;
    }
    std::string bytes;
    char buf[1 << 14];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, file.get())) > 0) {
        bytes.append(buf, n);
    }
    LoadLanguageBytes(bytes);
}

void STRING_TRANSLATOR::LoadLanguageBytes(std::string_view bytes) {
    ScanLanguageFile(bytes, [this](std::string&& strKey, std::string&& strValue) {
        AddTranslation(strKey, strValue);
    });
}

void STRING_TRANSLATOR::AddTranslation(const std::string& strKey, const std::string& strValue) {
    if (strKey.empty()) {
        return;
    }
    m_map[strKey] = strValue.empty() ? strKey : strValue;
}

const char* STRING_TRANSLATOR::Translate(const char* pszText) {
    if (pszText == nullptr || *pszText == '\0') {
        m_strEmpty.clear();
        return m_strEmpty.c_str();
    }
    const auto it = m_map.find(std::string_view(pszText));
    if (it != m_map.end()) {
        return it->second.c_str();
    }
    std::string& slot = m_aUntranslated[static_cast<std::size_t>(m_nNextUntranslated)];
    slot = pszText;
    m_nNextUntranslated = (m_nNextUntranslated + 1) % m_nUntranslatedSize;
    return slot.c_str();
}
