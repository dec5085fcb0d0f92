#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

// Translates the English texts that the editor composes at run time, from a table read once
// from a language file. A text without an entry is answered with a copy of itself, kept in a
// ring of 30 slots: such a copy stays valid until 30 further untranslated lookups.
class STRING_TRANSLATOR {
  public:
    explicit STRING_TRANSLATOR(unsigned nCapacity);
    virtual ~STRING_TRANSLATOR();
    STRING_TRANSLATOR(const STRING_TRANSLATOR&) = delete;
    STRING_TRANSLATOR& operator=(const STRING_TRANSLATOR&) = delete;

    // Reads strPath + ".lgx" (a backslash counts as a folder separator). A missing file leaves
    // the table empty; a damaged one keeps the pairs before the damage.
    void LoadLanguageFile(std::string strPath);
    // The pairs of a language file's bytes, added to the table.
    void LoadLanguageBytes(std::string_view bytes);
    void AddTranslation(const std::string& strKey, const std::string& strValue);
    // Never null; valid as described above.
    const char* Translate(const char* pszText);

    std::size_t GetCount() const { return m_map.size(); }

    static constexpr int kUntranslatedSize = 30;

  private:
    // Transparent hashing lets a lookup use the caller's text without copying it.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_map<std::string, std::string, TextHash, std::equal_to<>> m_map;
    std::string m_strEmpty;
    int m_nUntranslatedSize = kUntranslatedSize;
    int m_nNextUntranslated = 0;
    std::array<std::string, kUntranslatedSize> m_aUntranslated;
};

// The module's translator while an editor is open.
extern STRING_TRANSLATOR* g_pTranslator;
