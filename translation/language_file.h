#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The language file layout: strings alternate key, value; every byte is stored complemented
// and each string ends with the stored byte 0xFF. A stored string, terminator included, takes
// at most 1024 bytes.
constexpr std::size_t kMaxStoredLanguageString = 1024;

using LanguagePairs = std::vector<std::pair<std::string, std::string>>;

// Calls onPair for each complete key/value pair, in file order. Reading stops at the end of
// the bytes or when a string reaches 1024 stored bytes (a string that completes exactly there
// is still used); an incomplete string and a key without value are dropped. Returns the number
// of bytes that the complete pairs took.
std::size_t ScanLanguageFile(std::string_view bytes,
                             const std::function<void(std::string&&, std::string&&)>& onPair);

// All pairs, as ScanLanguageFile finds them (a later pair with the same key is listed too);
// *pnUsed receives the bytes they took.
LanguagePairs DecodeLanguageFile(std::string_view bytes, std::size_t* pnUsed = nullptr);

// Encodes the pairs. Returns false, with the reason, for a pair that the loader could not
// read back (an empty key, a zero byte, a string of more than 1023 bytes).
bool EncodeLanguageFile(const LanguagePairs& aPairs, std::string& strBytes, std::string& strError);
