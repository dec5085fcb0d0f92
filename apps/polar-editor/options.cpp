#include "apps/polar-editor/options.h"

namespace {

constexpr polar_api::COLORREF Rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}

}  // namespace

std::array<polar_api::COLORREF, 5> DefaultColors() {
    return {Rgb(0xA8, 0xB4, 0xC0), Rgb(0xFF, 0xFF, 0xFF), Rgb(0x10, 0x3C, 0xB4),
            Rgb(0xD4, 0xF0, 0xD4), Rgb(0xF0, 0x9A, 0x3C)};
}

std::optional<std::array<polar_api::COLORREF, 5>> ParseColors(const QString& strText) {
    const QStringList parts = strText.split(',');
    if (parts.size() != 5) {
        return std::nullopt;
    }
    std::array<polar_api::COLORREF, 5> colors{};
    for (int i = 0; i < 5; ++i) {
        QString part = parts[i].trimmed();
        if (part.startsWith('#')) {
            part.remove(0, 1);
        }
        bool bOk = false;
        const unsigned nRgb = part.toUInt(&bOk, 16);
        if (!bOk || part.size() != 6) {
            return std::nullopt;
        }
        colors[static_cast<std::size_t>(i)] =
            Rgb((nRgb >> 16) & 0xFF, (nRgb >> 8) & 0xFF, nRgb & 0xFF);
    }
    return colors;
}

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
