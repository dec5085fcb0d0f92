#include "editor/help.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/gui_driver.h"
#include "tests/support/temp_dir.h"

namespace {

class Help : public testing::Test {
  protected:
    void SetUp() override {
        m_pInteraction = &ScriptedInteraction::Install();
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_dir.Path());
    }
    void TearDown() override {
        std::filesystem::current_path(m_previous);
        ScriptedInteraction::Uninstall();
    }
    TempDir m_dir;
    std::filesystem::path m_previous;
    ScriptedInteraction* m_pInteraction = nullptr;
};

TEST_F(Help, AnHtmlPageStandsInForTheHelpFile) {
    std::filesystem::create_directories("Help/English");
    TempDir::Write("Help/English/polar.html", "<html></html>");
    EXPECT_EQ(ResolveHelpFile("Help\\English\\polar.hlp"), "Help/English/polar.html");
    EXPECT_TRUE(OpenHelpFile(nullptr, "Help\\English\\polar.hlp"));
    ASSERT_EQ(m_pInteraction->Documents().size(), 1u);
    EXPECT_EQ(m_pInteraction->Documents()[0], "Help/English/polar.html");

    // A file of the exact name wins.
    TempDir::Write("Help/English/polar.hlp", "help");
    EXPECT_EQ(ResolveHelpFile("Help\\English\\polar.hlp"), "Help/English/polar.hlp");
}

TEST_F(Help, AMissingHelpFileIsReported) {
    m_pInteraction->AnswerNextBox(IDOK);
    EXPECT_FALSE(OpenHelpFile(nullptr, "Help\\Deutsch\\polar.hlp"));
    ASSERT_EQ(m_pInteraction->Boxes().size(), 1u);
    EXPECT_NE(m_pInteraction->Boxes()[0].strText.find("Help\\Deutsch\\polar.hlp"),
              std::string::npos);
    EXPECT_TRUE(m_pInteraction->Documents().empty());
}

TEST_F(Help, APageNoProgramCouldOpenIsNamedWithWhereItIs) {
    std::filesystem::create_directories("Help/English");
    TempDir::Write("Help/English/polar.html", "<html></html>");
    m_pInteraction->FailDocuments();
    m_pInteraction->AnswerNextBox(IDOK);
    EXPECT_FALSE(OpenHelpFile(nullptr, "Help\\English\\polar.hlp"));
    ASSERT_EQ(m_pInteraction->Boxes().size(), 1u);
    const std::string& strText = m_pInteraction->Boxes()[0].strText;
    EXPECT_NE(strText.find("No program could open the help page"), std::string::npos);
    EXPECT_NE(strText.find((m_dir.Path() / "Help/English/polar.html").string()), std::string::npos)
        << strText;
    EXPECT_EQ(strText.find("cannot be found"), std::string::npos);
}

}  // namespace
