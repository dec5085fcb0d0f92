#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "data/polar_file.h"
#include "tests/support/polar_builders.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::size_t EntriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(AtomicWrite, ReplacesContentKeepsPermissionsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string strPath = dir.File("POLAR.PPD");
    TempDir::Write(strPath, "old content that is longer than the new one");
    ::chmod(strPath.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(strPath, "new").Ok());
    EXPECT_EQ(TempDir::Read(strPath), "new");
    struct stat st {};
    ASSERT_EQ(::stat(strPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(AtomicWrite, FollowsASymbolicLinkToTheDataItNames) {
    TempDir dir;
    const std::string strTarget = dir.File("real.ppd");
    const std::string strLink = dir.File("POLAR.PPD");
    TempDir::Write(strTarget, "old");
    fs::create_symlink(strTarget, strLink);
    ASSERT_TRUE(WriteFileAtomically(strLink, "new").Ok());
    EXPECT_TRUE(fs::is_symlink(strLink));
    EXPECT_EQ(TempDir::Read(strTarget), "new");
}

TEST(AtomicWrite, AFailureIsReportedAndLeavesTheOldDataAlone) {
    TempDir dir;
    const IoStatus missingFolder = WriteFileAtomically(dir.File("no/such/folder/POLAR.PPD"), "x");
    EXPECT_FALSE(missingFolder.Ok());
    EXPECT_NE(missingFolder.strError.find("no/such/folder"), std::string::npos);

    // A folder in the target's place cannot be replaced by a file.
    const std::string strPath = dir.File("POLAR.PPD");
    fs::create_directory(strPath);
    TempDir::Write(strPath + "/inside", "kept");
    EXPECT_FALSE(WriteFileAtomically(strPath, "x").Ok());
    EXPECT_EQ(TempDir::Read(strPath + "/inside"), "kept");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);  // no temporary file left behind
}

TEST(PolarFileOnDisk, SaveAndLoadAndTheEmptyCases) {
    TempDir dir;
    const std::string strPath = dir.File("POLAR.PPD");
    PolarFileContents contents;
    EXPECT_FALSE(LoadPolarFile(strPath, contents).Ok());  // missing: the caller decides

    ASSERT_TRUE(SavePolarFile(strPath, ExampleSailPlans()).Ok());
    EXPECT_EQ(TempDir::Read(strPath), kExampleFileText);
    ASSERT_TRUE(LoadPolarFile(strPath, contents).Ok());
    EXPECT_EQ(contents.aSailPlans.size(), 2u);

    // No sail plans at all: nothing is written, the file keeps its content.
    ASSERT_TRUE(SavePolarFile(strPath, SailPlanArray{}).Ok());
    EXPECT_EQ(TempDir::Read(strPath), kExampleFileText);

    TempDir::Write(strPath, "");
    ASSERT_TRUE(LoadPolarFile(strPath, contents).Ok());
    EXPECT_TRUE(contents.aSailPlans.empty());
    EXPECT_FALSE(contents.stop);
}

}  // namespace
