#include "apps/polar-editor/options.h"

int LanguageForLocale(const QString& strLocale) {
    const QString lang = strLocale.section('_', 0, 0).section('-', 0, 0).toLower();
    if (lang == "de") {
        return 49;
    }
    if (lang == "fr") {
        return 33;
    }
    if (lang == "es") {
        return 34;
    }
    if (lang == "nb" || lang == "nn" || lang == "no") {
        return 47;
    }
    if (lang == "sv") {
        return 46;
    }
    return 44;
}
