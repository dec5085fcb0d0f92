// The editor's Save on a data file that other programs write too: a change made since the
// editor read the file is never written over without the user's answer, and two of our
// writers at once (the editor and polarctl) lose neither's sail plans.
#include <sys/file.h>

#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "data/file_io.h"
#include "data/file_lock.h"
#include "data/polar_file.h"
#include "tests/support/editor_fixture.h"

namespace {

constexpr const char* kMain = "Main,\r\n6,45,\r\n40,4.1,60,5,90,5.4,-2";
constexpr const char* kOther = "Other,\r\n8,40,\r\n45,5,90,6.2,-2";

// "E12": built by appending (GCC 12 at -O3 warns, wrongly, of an overlapping copy in `+`).
std::string Numbered(char cLetter, int n) {
    std::string strName(1, cLetter);
    strName += std::to_string(n);
    return strName;
}

class SharedFile : public EditorFixture {
  protected:
    const ScriptedInteraction::Box& LastBox() { return m_pInteraction->Boxes().back(); }
    std::size_t BoxCount() { return m_pInteraction->Boxes().size(); }
    // Another program's atomic write (a rename over the file).
    void WrittenElsewhere(const std::string& strText) {
        ASSERT_TRUE(WriteFileAtomically(m_strFile, strText).Ok());
    }
    void AddPoint() { ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR)); }
    void SaveAnswering(int nAnswer) {
        m_pInteraction->AnswerNextBox(nAnswer);
        ASSERT_TRUE(Driver().Click(IDC_SAVE));
    }
    bool Saved() { return std::count(m_host.notices.begin(), m_host.notices.end(), 2) > 0; }
};

TEST_F(SharedFile, AFileChangedSinceItWasReadIsReplacedOnlyOnOverwrite) {
    Open(kMain);
    AddPoint();
    WrittenElsewhere(kOther);

    // Cancel (the default): nothing written, nothing reported as saved, the edit stays.
    SaveAnswering(IDCANCEL);
    ASSERT_EQ(BoxCount(), 1u);
    EXPECT_EQ(LastBox().strText, "POLAR.PPD was changed by another program since it was opened.");
    EXPECT_EQ(LastBox().nType & 0xF, MB_OVERWRITERELOADCANCEL);
    EXPECT_EQ(TempDir::Read(m_strFile), kOther);
    EXPECT_FALSE(Saved());
    EXPECT_EQ(List()->rowCount(), 4);

    // The host's save and close asks the same, and Cancel keeps the editor with its edits.
    m_pInteraction->AnswerNextBox(IDCANCEL);
    ::SendMessage(m_hDialog, WM_COMMAND, ID_SAVE_AND_CLOSE, 0);
    EXPECT_EQ(BoxCount(), 2u);
    EXPECT_EQ(m_nFlag, 1);
    EXPECT_TRUE(m_host.notices.empty());
    EXPECT_EQ(TempDir::Read(m_strFile), kOther);

    // Overwrite: the user's answer, so the editor's data replace the other program's.
    SaveAnswering(IDYES);
    EXPECT_TRUE(Saved());
    EXPECT_NE(TempDir::Read(m_strFile).find("Main,"), std::string::npos);
    EXPECT_EQ(TempDir::Read(m_strFile).find("Other,"), std::string::npos);

    // What the editor saved is what the next save is checked against: no question.
    AddPoint();
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    EXPECT_EQ(BoxCount(), 3u);
}

TEST_F(SharedFile, ReloadShowsTheOtherProgramsFileAndWritesNothing) {
    Open(kMain);
    AddPoint();
    // Written in place, with the same length: only the bytes tell the change.
    std::string strInPlace = kMain;
    strInPlace.replace(strInPlace.find("4.1"), 3, "4.4");
    TempDir::Write(m_strFile, strInPlace);
    SaveAnswering(IDNO);  // Reload and discard my changes
    EXPECT_EQ(TempDir::Read(m_strFile), strInPlace);
    EXPECT_FALSE(Saved());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"4.40", "5.00", "5.40"}));
    EXPECT_FALSE(m_pEditor->IsModified());
    // From here on the reloaded file is the one read: a save asks nothing.
    AddPoint();
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    EXPECT_EQ(BoxCount(), 1u);
    EXPECT_TRUE(Saved());
}

// Another program writes again while the user reads the question: Reload shows that latest
// file, and still nothing of the editor's is written.
TEST_F(SharedFile, AChangeWhileTheQuestionIsOpenIsWhatReloadShows) {
    class WritesWhileAsked : public Interaction {
      public:
        explicit WritesWhileAsked(std::string strFile) : m_strFile(std::move(strFile)) {}
        int MessageBox(QWidget*, const std::string& strText, const std::string&,
                       UINT nType) override {
            texts.push_back(strText);
            if ((nType & 0xF) != MB_OVERWRITERELOADCANCEL) {
                return IDCANCEL;
            }
            EXPECT_TRUE(WriteFileAtomically(m_strFile, "Third,\r\n9,40,\r\n50,6,-2").Ok());
            return IDNO;  // Reload and discard my changes
        }
        bool ChooseFile(QWidget*, const FileDialogRequest&, std::string&) override { return false; }
        bool OpenDocument(const std::string&) override { return false; }
        std::vector<std::string> texts;

      private:
        std::string m_strFile;
    };
    Open(kMain);
    AddPoint();
    WrittenElsewhere(kOther);
    auto pAnswerer = std::make_unique<WritesWhileAsked>(m_strFile);
    WritesWhileAsked* pAsked = pAnswerer.get();
    std::unique_ptr<Interaction> pScripted = SetInteraction(std::move(pAnswerer));
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    const std::unique_ptr<Interaction> pDone = SetInteraction(std::move(pScripted));
    EXPECT_EQ(pAsked->texts.size(), 1u);
    EXPECT_EQ(TempDir::Read(m_strFile), "Third,\r\n9,40,\r\n50,6,-2");
    EXPECT_EQ(Entries(IDC_SAIL_PLAN_COMBO), std::vector<std::string>{"Third"});
    EXPECT_FALSE(m_pEditor->IsModified());
    EXPECT_FALSE(Saved());
}

TEST_F(SharedFile, TheQuestionIsAskedInTheEditorsLanguage) {
    // The editor finds its language files through the relative paths of a host's folder.
    const std::filesystem::path previousFolder = std::filesystem::current_path();
    std::filesystem::current_path(POLAR_SHARE_DIR);
    m_nLanguage = 49;
    Open(kMain);
    AddPoint();
    WrittenElsewhere(kOther);
    SaveAnswering(IDCANCEL);
    EXPECT_EQ(LastBox().strText,
              "POLAR.PPD wurde seit dem Öffnen von einem anderen Programm geändert.");
    EXPECT_EQ(TempDir::Read(m_strFile), kOther);
    std::filesystem::current_path(previousFolder);
}

TEST_F(SharedFile, ASaveWaitsForAnotherWritersLockThenSaysWhy) {
    Open(kMain);
    AddPoint();
    FileLock other;
    ASSERT_TRUE(other.Acquire(m_strFile).Ok());
    SaveAnswering(IDOK);
    EXPECT_NE(LastBox().strText.find("is being changed by another program"), std::string::npos)
        << LastBox().strText;
    EXPECT_NE(LastBox().strText.find(m_strFile), std::string::npos);
    EXPECT_EQ(TempDir::Read(m_strFile), kMain);
    EXPECT_FALSE(Saved());
    other.Release();
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    EXPECT_TRUE(Saved());
}

// polarctl adds a sail plan a hundred times while the editor adds and saves its own a hundred
// times. Each of the editor's saves that meets a file polarctl changed is asked about, answered
// "Reload", and done again: at the end every sail plan either wrote is in the file, and every
// polarctl run that wrote nothing said so.
TEST_F(SharedFile, TwoWritersAtOnceLoseNeithersSailPlans) {
    constexpr int kRounds = 100;
    Open(kMain);
    const std::string strGrid = m_dir.File("boat.pol");
    TempDir::Write(strGrid, "TWA\\TWS\t6\t10\n45\t4.2\t5.6\n90\t5.5\t7.1\n150\t4.4\t6.3\n");
    const std::string strCodes = m_dir.File("codes");
    const std::string strErrors = m_dir.File("errors");
    std::string strLoop = "for i in $(seq 1 ";
    for (const std::string& strPart :
         {std::to_string(kRounds), std::string("); do '"), std::string(POLARCTL_PROGRAM),
          std::string("' import '"), strGrid, std::string("' -o '"), m_strFile,
          std::string("' --append --sail-plan P$i >/dev/null 2>>'"), strErrors,
          std::string("'; echo $i $? >>'"), strCodes, std::string("'; done")}) {
        strLoop += strPart;
    }
    std::thread polarctl([&strLoop] { std::system(strLoop.c_str()); });

    int nReloads = 0;
    for (int i = 1; i <= kRounds; ++i) {
        const std::string strName = Numbered('E', i);
        for (int nTry = 0;; ++nTry) {
            ASSERT_LT(nTry, 200) << "the editor never got to save " << strName;
            m_steps.push_back([&strName](CDialog*, GuiDriver& d) {
                d.Type(IDC_SAIL_PLAN_NAME, strName.c_str());
                d.Click(IDOK);
            });
            ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
            m_pInteraction->Clear();
            m_pInteraction->AnswerNextBox(IDNO);  // used only when the file changed meanwhile
            m_host.notices.clear();
            ASSERT_TRUE(Driver().Click(IDC_SAVE));
            if (m_pInteraction->Boxes().empty()) {
                ASSERT_TRUE(Saved());
                break;
            }
            ASSERT_EQ(m_pInteraction->Boxes().size(), 1u);
            ASSERT_EQ(LastBox().nType & 0xF, MB_OVERWRITERELOADCANCEL) << LastBox().strText;
            ASSERT_FALSE(Saved());
            ++nReloads;
        }
    }
    polarctl.join();

    PolarFileContents contents;
    ASSERT_TRUE(LoadPolarFile(m_strFile, contents).Ok());
    EXPECT_FALSE(contents.stop);
    std::set<std::string> names;
    for (const auto& pSailPlan : contents.aSailPlans) {
        names.insert(pSailPlan->m_strName);
    }
    EXPECT_EQ(names.size(), contents.aSailPlans.size()) << "a sail plan was written twice";
    for (int i = 1; i <= kRounds; ++i) {
        EXPECT_TRUE(names.count(Numbered('E', i)) == 1) << "E" << i << " was lost";
    }
    std::ifstream codes(strCodes);
    int nRound = 0;
    int nExit = 0;
    int nRuns = 0;
    int nRefused = 0;
    while (codes >> nRound >> nExit) {
        ++nRuns;
        if (nExit == 0) {
            EXPECT_TRUE(names.count(Numbered('P', nRound)) == 1)
                << "P" << nRound << " was reported written and lost";
        } else {
            ++nRefused;
            EXPECT_EQ(nExit, 1);
        }
    }
    EXPECT_EQ(nRuns, kRounds);
    // A run that wrote nothing said why, naming the file.
    const std::string strSaid = TempDir::Read(strErrors);
    std::size_t nSaid = 0;
    for (std::size_t n = strSaid.find(m_strFile); n != std::string::npos;
         n = strSaid.find(m_strFile, n + 1)) {
        ++nSaid;
    }
    EXPECT_GE(nSaid, static_cast<std::size_t>(nRefused)) << strSaid;
    RecordProperty("editor_reloads", nReloads);
    RecordProperty("polarctl_refused", nRefused);
}

}  // namespace
