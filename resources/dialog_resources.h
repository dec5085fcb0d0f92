#pragma once

#include "framework/dialog_template.h"
#include "resources/resource_ids.h"

// Language identifiers of the templates.
constexpr WORD LANG_ENGLISH_US = 0x0409;
constexpr WORD LANG_GERMAN = 0x0407;
constexpr WORD LANG_FRENCH = 0x040C;
constexpr WORD LANG_NORWEGIAN = 0x0414;
constexpr WORD LANG_SPANISH = 0x0C0A;
constexpr WORD LANG_SWEDISH = 0x041D;

// The language number of the host (a telephone country code), 44 until SetLanguage.
extern int g_nLanguage;
// The language of the dialog templates, 0x0409 until SetLanguage.
extern WORD g_wDialogLangId;

// Stores the language number and picks the templates' language: 33 French, 34 Spanish,
// 46 Swedish (whose templates do not exist, so English ones are used), 47 Norwegian,
// 49 German, anything else English (United States).
void SetLanguage(int nLanguage);
// Whether the language writes numbers with a decimal comma (German, French, Spanish, Norwegian,
// Swedish); English writes a point.
bool WritesDecimalComma(int nLanguage);
// The locale of Qt's own texts (file dialogs, standard buttons) in the language; nullptr for
// English.
const char* StandardTextsLocale(int nLanguage);

// The template in the chosen language, else the English one; null for an unknown id.
const DialogTemplate* LoadDialogTemplate(int nId);

// The template of exactly this language, or null.
const DialogTemplate* FindDialogTemplate(int nId, WORD wLanguage);

// Every template, for tools that show them all.
const std::vector<DialogTemplate>& AllDialogTemplates();
