#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/file_identity.h"
#include "data/file_io.h"
#include "data/polar_text_scanner.h"
#include "data/sailplan.h"

// What a reading of a data file gave: the sail plans in file order, the places where
// something was read with a change (a name cut to length), and, when the text held
// something the format does not provide for, where the reading stopped and why. The
// complete records before the stop are kept; an incomplete polar is dropped.
struct PolarFileContents {
    SailPlanArray aSailPlans;
    std::vector<PolarFileProblem> aWarnings;
    std::optional<PolarFileProblem> stop;
};

PolarFileContents ParsePolarFile(std::string_view text);

// What a writing of the data file leaves out because the format cannot hold it: sail plans
// without polars (their names, as stored), and points that would not read back as points.
struct PolarFileOmissions {
    struct Point {
        std::string strSailPlan;  // as stored
        float fWindSpeed;
        float fAngle;
        float fSpeed;
    };
    std::vector<std::string> aEmptySailPlans;
    std::vector<Point> aUnwritablePoints;
    bool Empty() const { return aEmptySailPlans.empty() && aUnwritablePoints.empty(); }
};

// What was left out, one sentence a line, names shown as text.
std::string DescribeOmissions(const PolarFileOmissions& omitted);

// The text of the data file for these sail plans: CR LF line ends, two decimals, no line end
// after the final "-2". A sail plan without polars has no representation and is left out, as
// is a point that would not read back (see PERF_VECTOR::IsWritable); pOmitted lists them.
std::string FormatPolarFile(const SailPlanArray& aSailPlans,
                            PolarFileOmissions* pOmitted = nullptr);

// What the sail plans hold, in a form that does not depend on their order or that of their
// polars (which the editor sorts on its own): two sets with equal content have the same names,
// polars and points, those without polars included.
std::string ContentOfSailPlans(const SailPlanArray& aSailPlans);

// Reads and parses the file; the status reports only a file that cannot be read. With
// pIdentity, a reader that may later replace the file keeps what it read (and then the file
// must be a regular one).
IoStatus LoadPolarFile(const std::string& strPath, PolarFileContents& contents,
                       FileIdentity* pIdentity = nullptr);

// Writes the sail plans atomically (see WriteFileAtomically). With no sail plans at all nothing
// is written and the file keeps its content.
IoStatus SavePolarFile(const std::string& strPath, const SailPlanArray& aSailPlans,
                       PolarFileOmissions* pOmitted = nullptr,
                       ReadOnlyFiles readOnly = ReadOnlyFiles::Refuse,
                       SpecialFiles special = SpecialFiles::WriteInPlace);
