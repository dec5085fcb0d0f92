// What keeps a user's file from being replaced or lost: read-only files, kept copies,
// injected read and write failures, and what the file format cannot hold.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "data/polar_file.h"
#include "tests/support/polar_builders.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const std::string& strPath) {
    struct stat st {};
    return ::stat(strPath.c_str(), &st) == 0 ? st.st_mode & 07777 : 0u;
}

// Removes the injected faults whatever the test's outcome.
struct FaultInjection {
    explicit FaultInjection(FileFaultHook hook) { SetFileFaultHook(std::move(hook)); }
    ~FaultInjection() { SetFileFaultHook(nullptr); }
};

TEST(GuardedWrite, AReadOnlyFileIsNotReplacedUnlessForced) {
    TempDir dir;
    const std::string strPath = dir.File("POLAR.PPD");
    TempDir::Write(strPath, "old");
    ::chmod(strPath.c_str(), 0444);
    // Even a user whom the system would let write it (the superuser) is refused.
    const IoStatus refused = WriteFileAtomically(strPath, "new");
    EXPECT_FALSE(refused.Ok());
    EXPECT_NE(refused.strError.find("read-only"), std::string::npos) << refused.strError;
    EXPECT_EQ(TempDir::Read(strPath), "old");
    EXPECT_FALSE(CopyFileAtomically(strPath, strPath).Ok());

    ASSERT_TRUE(WriteFileAtomically(strPath, "new", ReadOnlyFiles::Replace).Ok());
    EXPECT_EQ(TempDir::Read(strPath), "new");
    EXPECT_EQ(ModeOf(strPath), 0444u);  // still read-only afterwards

    // A link to a read-only file is judged by the file.
    const std::string strLink = dir.File("link.ppd");
    fs::create_symlink(strPath, strLink);
    EXPECT_FALSE(WriteFileAtomically(strLink, "x").Ok());
    EXPECT_TRUE(CheckMayReplace(dir.File("missing.ppd")).Ok());
}

TEST(GuardedWrite, CopiesAreKeptBesideUnderFreeNamesAndNeverReplaced) {
    TempDir dir;
    const std::string strPath = dir.File("POLAR.PPD");
    TempDir::Write(strPath, "first");
    std::string strCopy;
    ASSERT_TRUE(KeepCopyBeside(strPath, strCopy).Ok());
    EXPECT_EQ(strCopy, strPath + ".bak");
    EXPECT_EQ(TempDir::Read(strCopy), "first");

    TempDir::Write(strPath, "second");
    EXPECT_EQ(FreeCopyName(strPath), strPath + ".bak.1");
    ASSERT_TRUE(KeepCopyBeside(strPath, strCopy).Ok());
    EXPECT_EQ(strCopy, strPath + ".bak.1");
    EXPECT_EQ(TempDir::Read(strPath + ".bak"), "first");
    EXPECT_EQ(TempDir::Read(strPath + ".bak.1"), "second");

    // A file that cannot be read has no copy, and nothing is created for it.
    EXPECT_FALSE(KeepCopyBeside(dir.File("missing.ppd"), strCopy).Ok());
    EXPECT_FALSE(fs::exists(dir.File("missing.ppd.bak")));
}

TEST(GuardedWrite, InjectedFailuresReportTheReasonAndLeaveTheFileWhole) {
    TempDir dir;
    const std::string strPath = dir.File("POLAR.PPD");
    TempDir::Write(strPath, kExampleFileText);
    const FaultInjection faults([&](FileOperation op, const std::string& strFile) {
        if (strFile != strPath) {
            return 0;
        }
        return op == FileOperation::Read ? EACCES : ENOSPC;
    });
    PolarFileContents contents;
    const IoStatus read = LoadPolarFile(strPath, contents);
    EXPECT_EQ(read.nErrno, EACCES);
    EXPECT_NE(read.strError.find(strPath), std::string::npos);
    EXPECT_TRUE(contents.aSailPlans.empty());

    const IoStatus written = SavePolarFile(strPath, ExampleSailPlans());
    EXPECT_EQ(written.nErrno, ENOSPC);
    EXPECT_NE(written.strError.find("No space left"), std::string::npos) << written.strError;
    EXPECT_EQ(TempDir::Read(strPath), kExampleFileText);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(GuardedWrite, WhatTheFormatCannotHoldIsLeftOutAndNamed) {
    SailPlanArray plans = ExampleSailPlans();
    AddSailPlan(plans, "Storm");  // a band with the minimum above the maximum
    // Smoothing a hand-made polar once wrote such points: they would end the polar early,
    // and the rest of the file would read as a sail plan named after a speed.
    PERF_POLAR& polar = *plans[0]->m_aPolars[0];
    polar.InsertVector(1, -2147483648.0f, 3.0f);
    polar.InsertVector(2, -0.496f, 3.5f);  // written as -0.50: a terminator too
    polar.InsertVector(3, -0.49f, 3.6f);   // written as -0.49: still a point

    PolarFileOmissions omitted;
    const std::string strText = FormatPolarFile(plans, &omitted);
    EXPECT_EQ(omitted.aEmptySailPlans, std::vector<std::string>{"Storm"});
    ASSERT_EQ(omitted.aUnwritablePoints.size(), 2u);
    EXPECT_EQ(omitted.aUnwritablePoints[0].fAngle, -2147483648.0f);
    EXPECT_EQ(omitted.aUnwritablePoints[0].strSailPlan, "Main");
    const std::string strReport = DescribeOmissions(omitted);
    EXPECT_NE(strReport.find("Sail plan \"Storm\" has no wind speeds and is not saved."),
              std::string::npos);
    EXPECT_NE(strReport.find("The point at angle -2147483648.00, speed 3.00 of sail plan "
                             "\"Main\", wind speed 6.00 is not saved"),
              std::string::npos);

    const PolarFileContents back = ParsePolarFile(strText);
    EXPECT_FALSE(back.stop.has_value());
    ASSERT_EQ(back.aSailPlans.size(), 2u);
    EXPECT_EQ(back.aSailPlans[1]->m_strName, "Light");
    EXPECT_EQ(PointAngles(*back.aSailPlans[0]->m_aPolars[0]),
              (std::vector<float>{40, -0.49f, 60, 90, 120, 150}));
}

TEST(GuardedWrite, ContentIsIndependentOfTheOrderOfSailPlansAndPolars) {
    const SailPlanArray plans = ExampleSailPlans();
    SailPlanArray reordered;
    SAILPLAN& light = AddSailPlan(reordered, "Light");
    AddPolar(light, 4.0f, 48.0f, {{45.0f, 3.0f}, {90.0f, 3.9f}});
    SAILPLAN& main = AddSailPlan(reordered, "Main");
    const auto& source = *plans[0];
    for (int i : {1, 0}) {
        const PERF_POLAR& p = *source.m_aPolars[static_cast<std::size_t>(i)];
        main.InsertPolar(main.GetPolarCount(), p.m_fWindSpeed, p.m_fTackingAngle);
        for (const auto& v : p.m_aVectors) {
            main.m_aPolars.back()->InsertVector(main.m_aPolars.back()->GetVectorCount(),
                                                v->m_fAngle, v->m_fSpeed);
        }
    }
    EXPECT_EQ(ContentOfSailPlans(reordered), ContentOfSailPlans(plans));
    main.m_aPolars[0]->m_aVectors[0]->m_fSpeed += 0.01f;
    EXPECT_NE(ContentOfSailPlans(reordered), ContentOfSailPlans(plans));
    AddSailPlan(reordered, "Empty");
    main.m_aPolars[0]->m_aVectors[0]->m_fSpeed -= 0.01f;
    EXPECT_NE(ContentOfSailPlans(reordered), ContentOfSailPlans(plans));
}

}  // namespace
