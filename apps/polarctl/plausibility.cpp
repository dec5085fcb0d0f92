#include "apps/polarctl/plausibility.h"

#include <ostream>

#include "data/text_encoding.h"

namespace {

bool Warn(std::ostream& err, const std::string& strFile,
          const std::vector<const SAILPLAN*>& aSailPlans,
          std::vector<std::string> (*find)(const SAILPLAN&)) {
    bool bAny = false;
    for (const SAILPLAN* pSailPlan : aSailPlans) {
        for (const std::string& strWhat : find(*pSailPlan)) {
            err << strFile << ": warning: sail plan \"" << DecodeForDisplay(pSailPlan->m_strName)
                << "\": " << strWhat << "\n";
            bAny = true;
        }
    }
    return bAny;
}

}  // namespace

bool WarnImplausible(std::ostream& err, const std::string& strFile,
                     const std::vector<const SAILPLAN*>& aSailPlans) {
    return Warn(err, strFile, aSailPlans, ImplausibleValues);
}

bool WarnPolarsWithoutPoints(std::ostream& err, const std::string& strFile,
                             const std::vector<const SAILPLAN*>& aSailPlans) {
    return Warn(err, strFile, aSailPlans, PolarsWithoutPoints);
}
