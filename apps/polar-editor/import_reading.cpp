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
    if (result.error) {
        reading.diagnostics.push_back(
            Ui("line %1, column %2: %3; only what came before is imported")
                .arg(result.error->nLine)
                .arg(result.error->nColumn)
                .arg(QString::fromStdString(result.error->strMessage)));
    }
    // A format of several sail plans gives them all; each is added.
    SailPlanArray aRead;
    aRead.push_back(std::move(result.pSailPlan));
    for (auto& pMore : result.aMoreSailPlans) {
        aRead.push_back(std::move(pMore));
    }
    const std::string strFallback = QFileInfo(strPath).completeBaseName().toStdString();
    const bool bSeveral = aRead.size() > 1;
    for (auto& pSailPlan : aRead) {
        NameImportedSailPlan(*pSailPlan, strFallback);
        // Of several, each warning says whose it is.
        const QString strWhose =
            bSeveral
                ? "\"" + QString::fromStdString(DecodeForDisplay(pSailPlan->m_strName)) + "\": "
                : QString();
        for (const std::string& strWarning : ImplausibleValues(*pSailPlan)) {
            reading.diagnostics.push_back(strWhose + QString::fromStdString(strWarning));
        }
        // Wind speeds without a point are no polar to add either.
        const bool bAnyPoint =
            std::any_of(pSailPlan->m_aPolars.begin(), pSailPlan->m_aPolars.end(),
                        [](const auto& pPolar) { return !pPolar->m_aVectors.empty(); });
        if (bAnyPoint) {
            reading.aSailPlans.push_back(std::move(pSailPlan));
        } else if (bSeveral) {
            reading.diagnostics.push_back(
                Ui("sail plan \"%1\" holds no polar and is not imported")
                    .arg(QString::fromStdString(DecodeForDisplay(pSailPlan->m_strName))));
        }
    }
    if (reading.aSailPlans.empty()) {
        // The reader's own reason, where it stopped, is what the user can mend.
        reading.strError = result.error ? Ui("%1 holds no polar: line %2, column %3: %4")
                                              .arg(strPath)
                                              .arg(result.error->nLine)
                                              .arg(result.error->nColumn)
                                              .arg(QString::fromStdString(result.error->strMessage))
                                        : Ui("%1 holds no polar").arg(strPath);
    }
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
    if (reading.aSailPlans.empty()) {
        return reading.strError;
    }
    const QString strFormat = QString::fromUtf8(
        reading.pFormat->name.data(), static_cast<qsizetype>(reading.pFormat->name.size()));
    QString text;
    if (reading.aSailPlans.size() == 1) {
        const SAILPLAN& sailPlan = *reading.aSailPlans.front();
        text = Ui("Sail plan \"%1\" (%2), %3 polars:")
                   .arg(QString::fromStdString(DecodeForDisplay(sailPlan.m_strName)), strFormat)
                   .arg(sailPlan.GetPolarCount()) +
               "\n";
        QStringList polars;
        for (const auto& pPolar : sailPlan.m_aPolars) {
            polars.push_back(
                Ui("%1 kn: %2 points, tacking angle %3°")
                    .arg(UiFileNumber(pPolar->m_fWindSpeed))
                    .arg(pPolar->GetVectorCount())
                    .arg(UiNumber(static_cast<double>(pPolar->m_fTackingAngle), 'f', 1)));
        }
        text += IndentedFew(polars);
    } else {
        text = Ui("%1 sail plans (%2), each added:").arg(reading.aSailPlans.size()).arg(strFormat) +
               "\n";
        QStringList sailPlans;
        for (const auto& pSailPlan : reading.aSailPlans) {
            int nPoints = 0;
            for (const auto& pPolar : pSailPlan->m_aPolars) {
                nPoints += pPolar->GetVectorCount();
            }
            sailPlans.push_back(
                Ui("\"%1\": %2 polars, %3 points")
                    .arg(QString::fromStdString(DecodeForDisplay(pSailPlan->m_strName)))
                    .arg(pSailPlan->GetPolarCount())
                    .arg(nPoints));
        }
        text += IndentedFew(sailPlans);
    }
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

void AddUnderFreeNames(SailPlanArray& aSailPlans, SailPlanArray aAdded) {
    for (auto& pSailPlan : aAdded) {
        pSailPlan->SetName(UnusedSailPlanName(aSailPlans, pSailPlan->m_strName));
        aSailPlans.push_back(std::move(pSailPlan));
    }
}
