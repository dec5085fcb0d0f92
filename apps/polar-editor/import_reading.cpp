#include "apps/polar-editor/import_reading.h"

#include <QFileInfo>
#include <algorithm>

#include "apps/polar-editor/window_texts.h"
#include "data/file_io.h"
#include "data/polar_plausibility.h"
#include "data/text_encoding.h"

ImportReading ReadImport(const QString& strPath) {
    ImportReading reading;
    std::string text;
    if (const IoStatus status = ReadWholeFile(strPath.toStdString(), text); !status.Ok()) {
        reading.strError = QString::fromStdString(status.strError);
        return reading;
    }
    reading.pFormat = GuessFormat(text, strPath.toStdString());
    if (reading.pFormat == nullptr) {
        reading.strError = Ui("%1 is in none of the formats: %2")
                               .arg(strPath, QString::fromStdString(FormatNames(", ", " or ")));
        return reading;
    }
    ImportResult result = reading.pFormat->read(text, "");
    NameImportedSailPlan(*result.pSailPlan, QFileInfo(strPath).completeBaseName().toStdString());
    if (result.error) {
        reading.diagnostics.push_back(
            Ui("line %1, column %2: %3; only what came before is imported")
                .arg(result.error->nLine)
                .arg(result.error->nColumn)
                .arg(QString::fromStdString(result.error->strMessage)));
    }
    // The application adds one sail plan per import; a file of several says what it leaves.
    if (!result.aMoreSailPlans.empty()) {
        QStringList names;
        for (const auto& pMore : result.aMoreSailPlans) {
            names.push_back(QString::fromStdString(DecodeForDisplay(pMore->m_strName)));
        }
        reading.diagnostics.push_back(
            Ui("the file holds %1 more sail plans (%2): only the first is imported here; "
               "polarctl import adds them all")
                .arg(result.aMoreSailPlans.size())
                .arg(names.join(", ")));
    }
    for (const std::string& strWarning : ImplausibleValues(*result.pSailPlan)) {
        reading.diagnostics.push_back(QString::fromStdString(strWarning));
    }
    // Wind speeds without a point are no polar to add either.
    const bool bAnyPoint =
        std::any_of(result.pSailPlan->m_aPolars.begin(), result.pSailPlan->m_aPolars.end(),
                    [](const auto& pPolar) { return !pPolar->m_aVectors.empty(); });
    if (!bAnyPoint) {
        // The reader's own reason, where it stopped, is what the user can mend.
        reading.strError = result.error ? Ui("%1 holds no polar: line %2, column %3: %4")
                                              .arg(strPath)
                                              .arg(result.error->nLine)
                                              .arg(result.error->nColumn)
                                              .arg(QString::fromStdString(result.error->strMessage))
                                        : Ui("%1 holds no polar").arg(strPath);
        return reading;
    }
    reading.pSailPlan = std::move(result.pSailPlan);
    return reading;
}

namespace {

// The lines indented, a screenful at most: the first ones, then how many more.
QString IndentedFew(const QStringList& lines) {
    constexpr qsizetype kListed = 12;
    QString text;
    for (qsizetype i = 0; i < std::min(lines.size(), kListed); ++i) {
        text += "  " + lines[i] + "\n";
    }
    if (lines.size() > kListed) {
        text += "  " + Ui("… and %1 more").arg(lines.size() - kListed) + "\n";
    }
    return text;
}

}  // namespace

QString DescribeImport(const ImportReading& reading) {
    if (reading.pSailPlan == nullptr) {
        return reading.strError;
    }
    const SAILPLAN& sailPlan = *reading.pSailPlan;
    QString text = Ui("Sail plan \"%1\" (%2), %3 polars:")
                       .arg(QString::fromStdString(DecodeForDisplay(sailPlan.m_strName)),
                            QString::fromUtf8(reading.pFormat->name.data(),
                                              static_cast<qsizetype>(reading.pFormat->name.size())))
                       .arg(sailPlan.GetPolarCount()) +
                   "\n";
    QStringList polars;
    for (const auto& pPolar : sailPlan.m_aPolars) {
        polars.push_back(Ui("%1 kn: %2 points, tacking angle %3°")
                             .arg(UiFileNumber(pPolar->m_fWindSpeed))
                             .arg(pPolar->GetVectorCount())
                             .arg(UiNumber(static_cast<double>(pPolar->m_fTackingAngle), 'f', 1)));
    }
    text += IndentedFew(polars);
    if (!reading.diagnostics.isEmpty()) {
        text += "\n" + Ui("Notes:") + "\n" + IndentedFew(reading.diagnostics);
    }
    return text;
}

std::string UnusedSailPlanName(const SailPlanArray& aSailPlans, const std::string& strName) {
    const auto used = [&aSailPlans](const std::string& strCandidate) {
        return std::any_of(aSailPlans.begin(), aSailPlans.end(),
                           [&strCandidate](const auto& p) { return p->m_strName == strCandidate; });
    };
    std::string strCandidate = strName;
    for (int n = 2; used(strCandidate); ++n) {
        strCandidate = strName + " (" + std::to_string(n) + ")";
    }
    return strCandidate;
}
