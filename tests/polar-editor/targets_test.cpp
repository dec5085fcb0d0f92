// Targets per wind speed, the dialog that shows them and the one-page card it writes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <filesystem>

#include "apps/polar-editor/app_settings.h"
#include "apps/polar-editor/target_card.h"
#include "apps/polar-editor/target_table.h"
#include "apps/polar-editor/targets_dialog.h"
#include "apps/polar-editor/window_texts.h"
#include "tests/polar-editor/scripted_questions.h"
#include "tests/support/own_settings.h"
#include "tests/support/temp_dir.h"

namespace {

SailPlanArray Boat() {
    SailPlanArray plans;
    auto pPlan = std::make_unique<SAILPLAN>("Main");
    pPlan->InsertPolar(0, 6, 42);
    for (const auto& [fAngle, fSpeed] :
         {std::pair{40.0f, 4.0f}, {60.0f, 5.0f}, {90.0f, 5.6f}, {140.0f, 5.2f}, {170.0f, 4.0f}}) {
        pPlan->InsertVector(0, pPlan->Polar(0).GetVectorCount(), fAngle, fSpeed);
    }
    pPlan->InsertPolar(1, 10, 40);  // no points: no targets
    plans.push_back(std::move(pPlan));
    return plans;
}

TEST(Targets, BeatAndRunAtTheBestVmgOfEachPolarWithPoints) {
    const SailPlanArray plans = Boat();
    const auto rows = TargetsOfSailPlan(*plans[0]);
    ASSERT_EQ(rows.size(), 1u);
    const TargetRow& row = rows[0];
    EXPECT_EQ(row.fWindSpeed, 6.0f);
    // Towards 60 degrees the VMG falls: the first point is the best beat.
    EXPECT_EQ(row.fBeatAngle, 40.0f);
    EXPECT_EQ(row.fBeatSpeed, 4.0f);
    EXPECT_GE(row.fRunAngle, 140.0f);
    // The speed is the curve's at the angle, and the VMG its component along the wind.
    const double kRad = 3.14159265358979 / 180;
    EXPECT_NEAR(row.fBeatVmg, row.fBeatSpeed * std::cos(row.fBeatAngle * kRad), 1e-3);
    EXPECT_NEAR(row.fRunVmg, -row.fRunSpeed * std::cos(row.fRunAngle * kRad), 1e-3);
}

TEST(Targets, APolarThatEndsAtTheBeamHasNoRunToSteer) {
    SAILPLAN plan("Upwind");
    plan.InsertPolar(0, 8, 40);
    plan.InsertVector(0, 0, 40, 5);
    plan.InsertVector(0, 1, 90, 6);
    const auto rows = TargetsOfSailPlan(plan);
    ASSERT_EQ(rows.size(), 1u);
    const QStringList cells = TargetCells(rows[0]);
    EXPECT_EQ(cells[1], "40.0");
    EXPECT_EQ(cells.mid(4), (QStringList{"–", "–", "–"}));
}

// The page's width and height in points, from the PDF's MediaBox.
QSizeF MediaBox(const std::string& pdf) {
    const QRegularExpression box(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])");
    const auto match = box.match(QString::fromLatin1(pdf));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble())
                            : QSizeF();
}

QStringList TextsOf(const CardLayout& layout) {
    QStringList texts;
    for (const CardText& text : layout.texts) {
        texts.push_back(text.text);
    }
    return texts;
}

TEST(Targets, LetterInTheUnitedStatesAndCanadaA4Elsewhere) {
    for (const char* pszLocale : {"en_US", "es_US", "en_CA", "fr_CA"}) {
        EXPECT_EQ(PaperOfLocale(QLocale(pszLocale)), QPageSize::Letter) << pszLocale;
    }
    for (const char* pszLocale : {"en_GB", "de_DE", "fr_FR", "nb_NO", "sv_SE", "es_ES", "C"}) {
        EXPECT_EQ(PaperOfLocale(QLocale(pszLocale)), QPageSize::A4) << pszLocale;
    }
}

// Where a text of the card is painted.
QRect Inked(const CardText& text, QPaintDevice* pDevice) {
    return QFontMetrics(text.font, pDevice).boundingRect(text.box, text.nFlags, text.text);
}

class TargetCardTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { UseOwnSettingsFolder(); }
    void SetUp() override { QSettings().clear(); }
};

TEST_F(TargetCardTest, BoatNameAndPaperAreTypedAndChosenThenRemembered) {
    const SailPlanArray plans = Boat();
    ScriptedQuestions questions;
    TempDir dir;
    {
        TargetsDialog dialog(nullptr, questions, plans, 0, QString::fromStdString(dir.Path()));
        auto* pBoat = dialog.findChild<QLineEdit*>("boat-name");
        auto* pPaper = dialog.findChild<QComboBox*>("paper-size");
        ASSERT_NE(pBoat, nullptr);
        ASSERT_NE(pPaper, nullptr);
        EXPECT_EQ(pBoat->text(), "");
        QTest::keyClicks(pBoat, "Blue Heron");
        QTest::keyClick(pPaper, Qt::Key_End);
        EXPECT_EQ(pPaper->currentText(), "US Letter");
        questions.files.push_back(QString::fromStdString(dir.File("letter.pdf")));
        ASSERT_TRUE(dialog.PrintCard());
        const QSizeF letter = MediaBox(TempDir::Read(dir.File("letter.pdf")));
        EXPECT_NEAR(letter.width(), 612, 1);
        EXPECT_NEAR(letter.height(), 792, 1);
    }
    TargetsDialog dialog(nullptr, questions, plans, 0, QString::fromStdString(dir.Path()));
    auto* pPaper = dialog.findChild<QComboBox*>("paper-size");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("boat-name")->text(), "Blue Heron");
    EXPECT_EQ(pPaper->currentText(), "US Letter");
    QTest::keyClick(pPaper, Qt::Key_Home);
    questions.files.push_back(QString::fromStdString(dir.File("a4.pdf")));
    ASSERT_TRUE(dialog.PrintCard());
    const QSizeF a4 = MediaBox(TempDir::Read(dir.File("a4.pdf")));
    EXPECT_NEAR(a4.width(), 595.3, 1);
    EXPECT_NEAR(a4.height(), 841.9, 1);
    EXPECT_TRUE(questions.AllUsed());
    EXPECT_EQ(app_settings::CardPaper(), "a4");
}

TEST_F(TargetCardTest, TheHeadingNamesBoatSailPlanAndDateInTheWindowsLanguage) {
    const SailPlanArray plans = Boat();
    ScriptedQuestions questions;
    TargetsDialog dialog(nullptr, questions, plans, 0, QString());
    QTest::keyClicks(dialog.findChild<QLineEdit*>("boat-name"), "Blue Heron");
    TargetCard card = dialog.Card();
    EXPECT_EQ(card.date, QDate::currentDate());
    card.date = QDate(2026, 12, 8);
    QPdfWriter writer(QString::fromStdString(TempDir().File("unused.pdf")));
    const QRect page(0, 0, writer.width(), writer.height());

    const QStringList english = TextsOf(LayOutTargetCard(card, page, &writer));
    EXPECT_EQ(english.mid(0, 3),
              (QStringList{"Blue Heron", QLocale().toString(card.date, QLocale::LongFormat),
                           "Targets: Main"}));
    EXPECT_TRUE(english.contains("6.0"));  // the table follows

    WindowTranslator german;
    ASSERT_TRUE(german.Load(POLAR_WINDOW_LGX_049));
    QCoreApplication::installTranslator(&german);
    const QLocale before;
    UseLanguageForNumbers(49);
    const CardLayout layout = LayOutTargetCard(card, page, &writer);
    QLocale::setDefault(before);
    const QStringList texts = TextsOf(layout);
    QCoreApplication::removeTranslator(&german);
    EXPECT_EQ(texts.mid(0, 3),
              (QStringList{"Blue Heron", "Dienstag, 8. Dezember 2026", "Zielwerte: Main"}));
    EXPECT_TRUE(texts.contains("6,0"));
    // The longer German words do not run into each other.
    for (std::size_t i = 0; i < layout.texts.size(); ++i) {
        for (std::size_t j = i + 1; j < layout.texts.size(); ++j) {
            EXPECT_FALSE(
                Inked(layout.texts[i], &writer).intersects(Inked(layout.texts[j], &writer)))
                << layout.texts[i].text.toStdString() << " / "
                << layout.texts[j].text.toStdString();
        }
    }
}

// A name too long for the first line beside the date moves the date under it; one too long
// for the page wraps rather than running off it.
TEST_F(TargetCardTest, ALongBoatNamePutsTheDateOnALineOfItsOwn) {
    TargetCard card{"Blue Heron", "Main", QDate(2026, 12, 8), QPageSize::A4, {}};
    QPdfWriter writer(QString::fromStdString(TempDir().File("unused.pdf")));
    const QRect page(0, 0, writer.width(), writer.height());
    for (const QString& strBoat : {QString("Blue Heron"), QString("Blue Heron ").repeated(4),
                                   QString("Blue Heron ").repeated(8)}) {
        card.strBoat = strBoat;
        const CardLayout layout = LayOutTargetCard(card, page, &writer);
        ASSERT_GE(layout.texts.size(), 3u);
        const auto inked = [&](const CardText& text) { return Inked(text, &writer); };
        EXPECT_FALSE(inked(layout.texts[0]).intersects(inked(layout.texts[1])))
            << strBoat.toStdString();
        for (const CardText& text : layout.texts) {
            EXPECT_TRUE(page.contains(inked(text))) << text.text.toStdString();
        }
    }
}

TEST(Targets, TheCardIsOnePdfPageWrittenOnlyWhereTheUserSaid) {
    const SailPlanArray plans = Boat();
    ScriptedQuestions questions;
    TempDir dir;
    TargetsDialog dialog(nullptr, questions, plans, 0, QString::fromStdString(dir.Path()));
    const auto* pTable = dialog.findChild<QTableWidget*>();
    ASSERT_NE(pTable, nullptr);
    ASSERT_EQ(pTable->rowCount(), 1);
    EXPECT_EQ(pTable->item(0, 0)->text(), "6.0");

    const std::string strCard = dir.File("card.pdf");
    questions.files.push_back(QString::fromStdString(strCard));
    ASSERT_TRUE(dialog.PrintCard());
    const std::string pdf = TempDir::Read(strCard);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_NE(pdf.find("/Count 1"), std::string::npos);  // one page

    // Cancelled: nothing; a folder that is not there: a message, and nothing written.
    questions.files.push_back(QString());
    EXPECT_FALSE(dialog.PrintCard());
    const std::string strNowhere = dir.File("missing/card.pdf");
    questions.files.push_back(QString::fromStdString(strNowhere));
    EXPECT_FALSE(dialog.PrintCard());
    ASSERT_EQ(questions.told.size(), 1);
    EXPECT_TRUE(questions.told[0].startsWith("The target card was not written"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));

    // The sail plan's name is suggested with the ending, which a name typed without one gets.
    questions.files.push_back(QString::fromStdString(dir.File("race day")));
    ASSERT_TRUE(dialog.PrintCard());
    EXPECT_EQ(TempDir::Read(dir.File("race day.pdf")).substr(0, 5), "%PDF-");
    EXPECT_FALSE(std::filesystem::exists(dir.File("race day")));
    EXPECT_TRUE(questions.writeStarts.back().endsWith(
        "/" + QString::fromStdString(plans[0]->m_strName) + ".pdf"))
        << questions.writeStarts.back().toStdString();
    EXPECT_TRUE(questions.AllUsed());
}

}  // namespace
