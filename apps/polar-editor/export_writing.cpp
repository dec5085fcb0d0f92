#include "apps/polar-editor/export_writing.h"

#include "apps/polar-editor/sail_plan_copy.h"
#include "apps/polar-editor/window_texts.h"
#include "data/file_io.h"
#include "data/polar_file.h"
#include "exchange/format_table.h"

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What a sailor knows each format by: the programs that read it, then what it is. A format
// missing here goes by its polarctl name.
struct FormatWords {
    std::string_view name;
    const char* pszLabel;
    const char* pszExtension;  // the ending given to a name typed without one
};

constexpr FormatWords kFormatWords[] = {
    {"grid", UI_TEXT("Weather routers: TWA/TWS grid"), ".pol"},
    {"lines", UI_TEXT("Expedition, Garmin chart plotters: a line per wind speed"), ".plr"},
    {"json", UI_TEXT("Rating certificate data: JSON"), ".json"},
    {"rating-csv", UI_TEXT("Rating certificate data: CSV"), ".csv"},
    {"signalk", UI_TEXT("Signal K server: polar JSON"), ".json"},
    {"plotter-csv", UI_TEXT("Raymarine chart plotters: polar table CSV"), ".csv"},
    {"targets", UI_TEXT("Nexus race instruments: target table"), ".nxp"},
    {"hrosailing", UI_TEXT("hrosailing (Python): CSV"), ".csv"},
};

const FormatWords* WordsOf(std::string_view name) {
    for (const FormatWords& words : kFormatWords) {
        if (words.name == name) {
            return &words;
        }
    }
    return nullptr;
}

const ExchangeFormat* FormatAt(int nFormat) {
    const auto formats = ExchangeFormats();
    if (nFormat <= 0 || nFormat > static_cast<int>(formats.size())) {
        return nullptr;
    }
    return &formats[static_cast<std::size_t>(nFormat - 1)];
}

// The format's endings as file dialog patterns: "*.pol *.csv".
QStringList Patterns(int nFormat) {
    const ExchangeFormat* pFormat = FormatAt(nFormat);
    if (pFormat == nullptr) {
        return {"*.PPD", "*.ppd"};
    }
    QStringList patterns;
    for (std::string_view extension : pFormat->extensions) {
        patterns.push_back("*" + Text(extension));
    }
    if (patterns.isEmpty()) {
        patterns.push_back("*" + ExportFormatExtension(nFormat));
    }
    return patterns;
}

}  // namespace

QStringList ExportFormatNames() {
    QStringList names = {Ui("This program's data file") + " (.PPD)"};
    for (int i = 1; i <= static_cast<int>(ExchangeFormats().size()); ++i) {
        const FormatWords* pWords = WordsOf(FormatAt(i)->name);
        const QString strLabel = pWords != nullptr ? Ui(pWords->pszLabel) : Text(FormatAt(i)->name);
        names.push_back(strLabel + " (" + Patterns(i).join(", ").remove('*') + ")");
    }
    return names;
}

QString ExportFormatFilter(int nFormat) {
    const QString strAll = ";;" + Ui("All files (*)");
    if (FormatAt(nFormat) == nullptr) {
        return Ui("Polar data (*.PPD *.ppd)") + strAll;
    }
    const FormatWords* pWords = WordsOf(FormatAt(nFormat)->name);
    const QString strLabel =
        pWords != nullptr ? Ui(pWords->pszLabel) : Text(FormatAt(nFormat)->name);
    return strLabel + " (" + Patterns(nFormat).join(' ') + ")" + strAll;
}

QString ExportFormatExtension(int nFormat) {
    const ExchangeFormat* pFormat = FormatAt(nFormat);
    if (pFormat == nullptr) {
        return ".PPD";
    }
    if (const FormatWords* pWords = WordsOf(pFormat->name)) {
        return QString::fromLatin1(pWords->pszExtension);
    }
    return pFormat->extensions.empty() ? QString() : Text(pFormat->extensions.front());
}

QString ExportFormatKey(int nFormat) {
    const ExchangeFormat* pFormat = FormatAt(nFormat);
    return pFormat == nullptr ? QString("data") : Text(pFormat->name);
}

int ExportFormatIndex(const QString& strKey) {
    for (int i = 1; i <= static_cast<int>(ExchangeFormats().size()); ++i) {
        if (Text(FormatAt(i)->name) == strKey) {
            return i;
        }
    }
    return 0;
}

QString WriteExport(const SailPlanArray& aSailPlans, int nSailPlan, int nFormat,
                    const QString& strPath, QStringList* pNotes) {
    const auto formats = ExchangeFormats();
    if (nFormat < 0 || nFormat > static_cast<int>(formats.size()) || nSailPlan < -1 ||
        nSailPlan >= static_cast<int>(aSailPlans.size())) {
        return Ui("there is no such sail plan or format");
    }
    const std::string strFile = strPath.toStdString();
    std::string text;
    std::vector<std::string> notes;
    if (nFormat == 0) {
        if (nSailPlan < 0) {
            text = FormatPolarFile(aSailPlans);
        } else {
            SailPlanArray one;
            one.push_back(CopySailPlan(*aSailPlans[static_cast<std::size_t>(nSailPlan)]));
            text = FormatPolarFile(one);
        }
        if (text.empty()) {
            return Ui("there are no polars to write");
        }
    } else {
        const ExchangeFormat& format = formats[static_cast<std::size_t>(nFormat - 1)];
        std::vector<const SAILPLAN*> chosen;
        for (std::size_t i = 0; i < aSailPlans.size(); ++i) {
            if (nSailPlan < 0 || static_cast<std::size_t>(nSailPlan) == i) {
                chosen.push_back(aSailPlans[i].get());
            }
        }
        if (nSailPlan < 0 && format.writeAll == nullptr) {
            return Ui("a %1 file holds one sail plan; choose one, or the data file format for all")
                .arg(Text(format.name));
        }
        if (chosen.empty()) {
            return Ui("there are no polars to write");
        }
        // A file the format's readers would refuse is not written.
        for (const SAILPLAN* pPlan : chosen) {
            const std::string strWhy =
                format.refusal != nullptr ? format.refusal(*pPlan) : std::string();
            if (!strWhy.empty()) {
                return QString::fromStdString(strWhy);
            }
        }
        text = chosen.size() == 1 && nSailPlan >= 0 ? format.write(*chosen[0], strFile)
                                                    : format.writeAll(chosen, strFile);
        notes = ExportNotes(format, chosen, text);
    }
    const IoStatus status = WriteFileAtomically(strFile, text);
    if (!status.Ok()) {
        return QString::fromStdString(status.strError);
    }
    if (pNotes != nullptr) {
        for (const std::string& strNote : notes) {
            pNotes->push_back(QString::fromStdString(strNote));
        }
    }
    return {};
}
