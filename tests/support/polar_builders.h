#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/sailplan.h"

// Builds records for tests: AddPolar(plan, wind speed, tacking angle, {{angle, speed}, ...}).
inline PERF_POLAR& AddPolar(SAILPLAN& plan, float fWindSpeed, float fTackingAngle,
                            std::initializer_list<std::pair<float, float>> points) {
    plan.InsertPolar(plan.GetPolarCount(), fWindSpeed, fTackingAngle);
    PERF_POLAR& polar = *plan.m_aPolars.back();
    for (const auto& [fAngle, fSpeed] : points) {
        polar.InsertVector(polar.GetVectorCount(), fAngle, fSpeed);
    }
    return polar;
}

inline SAILPLAN& AddSailPlan(SailPlanArray& plans, std::string strName) {
    plans.push_back(std::make_unique<SAILPLAN>(std::move(strName)));
    return *plans.back();
}

// The angles of a polar's points, in array order.
inline std::vector<float> PointAngles(const PERF_POLAR& polar) {
    std::vector<float> angles;
    for (const auto& pVector : polar.m_aVectors) {
        angles.push_back(pVector->m_fAngle);
    }
    return angles;
}

// The two sail plans of the documented example of the file layout.
inline SailPlanArray ExampleSailPlans() {
    SailPlanArray plans;
    SAILPLAN& main = AddSailPlan(plans, "Main");
    AddPolar(main, 6.0f, 45.0f,
             {{40.0f, 4.1f}, {60.0f, 5.0f}, {90.0f, 5.4f}, {120.0f, 5.1f}, {150.0f, 4.3f}});
    AddPolar(main, 12.0f, 40.0f,
             {{40.0f, 6.2f}, {60.0f, 6.9f}, {90.0f, 7.2f}, {120.0f, 7.0f}, {150.0f, 6.1f}});
    SAILPLAN& light = AddSailPlan(plans, "Light");
    AddPolar(light, 4.0f, 48.0f, {{45.0f, 3.0f}, {90.0f, 3.9f}});
    return plans;
}

inline const char* const kExampleFileText =
    "Main,\r\n"
    "6.00,45.00,\r\n"
    "40.00,4.10,60.00,5.00,90.00,5.40,120.00,5.10,150.00,4.30,-1\r\n"
    "12.00,40.00,\r\n"
    "40.00,6.20,60.00,6.90,90.00,7.20,120.00,7.00,150.00,6.10,-2\r\n"
    "Light,\r\n"
    "4.00,48.00,\r\n"
    "45.00,3.00,90.00,3.90,-2";

// A data file read only up to the "x" of line 5, column 8: the second polar of "Main" and the
// whole of "Light" are lost to a save of what was read.
inline const char* const kPartlyReadableFileText =
    "Main,\r\n6,45,\r\n40,4.1,90,5.4,-1\r\n12,40,\r\n40,6.2,x90,7.2,-2\r\nLight,\r\n4,48,\r\n"
    "45,3,-2";
