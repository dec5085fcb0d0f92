#pragma once

#include <functional>
#include <initializer_list>
#include <string>

// The texts the framework and the editor show at run time (messages, captions, answer
// buttons) go through one translation function, which the editor installs with its language.
using TextTranslator = std::function<std::string(const std::string& strEnglish)>;

// Installs a translation function (empty: the English texts) and returns the previous one.
TextTranslator SetTextTranslator(TextTranslator translator);

// The text in the user's language, or the English text.
std::string TranslateText(const std::string& strEnglish);

// The text translated, then %1, %2 ... replaced by the values (which are not translated).
std::string FormatText(const std::string& strEnglish, std::initializer_list<std::string> values);
