#pragma once

#include <filesystem>

// The editor finds its language files under the current folder: a test in another language
// works in the folder the build puts them in (POLAR_SHARE_DIR of the test's target), and
// returns to where it was.
class LanguageFolder {
  public:
    LanguageFolder() : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(POLAR_SHARE_DIR);
    }
    ~LanguageFolder() {
        std::error_code error;
        std::filesystem::current_path(m_previous, error);
    }
    LanguageFolder(const LanguageFolder&) = delete;
    LanguageFolder& operator=(const LanguageFolder&) = delete;

  private:
    std::filesystem::path m_previous;
};
