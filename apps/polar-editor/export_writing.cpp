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

}  // namespace

QStringList ExportFormatNames() {
    QStringList names = {Ui("data file (.PPD)")};
    for (const ExchangeFormat& format : ExchangeFormats()) {
        names.push_back(Text(format.name));
    }
    return names;
}

QString ExportFormatFilter(int nFormat) {
    if (nFormat <= 0) {
        return Ui("Polar data (*.PPD *.ppd)");
    }
    const ExchangeFormat& format = ExchangeFormats()[static_cast<std::size_t>(nFormat - 1)];
    QStringList patterns;
    for (std::string_view extension : format.extensions) {
        patterns.push_back("*" + Text(extension));
    }
    return Text(format.name) + " (" + patterns.join(' ') + ")";
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
