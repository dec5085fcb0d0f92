#include "resources/dialog_resources.h"

int g_nLanguage = 44;
WORD g_wDialogLangId = LANG_ENGLISH_US;

void SetLanguage(int nLanguage) {
    g_nLanguage = nLanguage;
    switch (nLanguage) {
        case 33:
            g_wDialogLangId = LANG_FRENCH;
            break;
        case 34:
            g_wDialogLangId = LANG_SPANISH;
            break;
        case 46:
            g_wDialogLangId = LANG_SWEDISH;
            break;
        case 47:
            g_wDialogLangId = LANG_NORWEGIAN;
            break;
        case 49:
            g_wDialogLangId = LANG_GERMAN;
            break;
        default:
            g_wDialogLangId = LANG_ENGLISH_US;
            break;
    }
}

const char* StandardTextsLocale(int nLanguage) {
    switch (nLanguage) {
        case 33:
            return "fr";
        case 34:
            return "es";
        case 46:
            return "sv";
        case 47:
            return "nb";
        case 49:
            return "de";
        default:
            return nullptr;
    }
}

bool WritesDecimalComma(int nLanguage) {
    return nLanguage == 33 || nLanguage == 34 || nLanguage == 46 || nLanguage == 47 ||
           nLanguage == 49;
}

const DialogTemplate* FindDialogTemplate(int nId, WORD wLanguage) {
    for (const DialogTemplate& t : AllDialogTemplates()) {
        if (t.nId == nId && t.wLanguage == wLanguage) {
            return &t;
        }
    }
    return nullptr;
}

const DialogTemplate* LoadDialogTemplate(int nId) {
    if (const DialogTemplate* pTemplate = FindDialogTemplate(nId, g_wDialogLangId)) {
        return pTemplate;
    }
    return FindDialogTemplate(nId, LANG_ENGLISH_US);
}
