#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLibrary>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "polar/polar.h"
#include "resources/resource_ids.h"
#include "tests/support/box_answerer.h"
#include "tests/support/gui_driver.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace polar_api;

// The library as a host sees it.
struct Library {
    Library() : lib(POLAR_LIBRARY_PATH) {
        open = reinterpret_cast<PolarFunction>(lib.resolve("polar"));
        reload = reinterpret_cast<ReloadPolarFunction>(lib.resolve("reload_polar"));
        close = reinterpret_cast<ClosePolarFunction>(lib.resolve("close_polar"));
    }
    QLibrary lib;
    PolarFunction open = nullptr;
    ReloadPolarFunction reload = nullptr;
    ClosePolarFunction close = nullptr;
};

Library& Lib() {
    static Library library;
    return library;
}

// The host window: records every notification with the state of the flag and of the editor
// window at that moment.
class HostWindow : public QWidget {
  public:
    struct Notice {
        WPARAM wParam;
        int nFlag;
        bool bWindowShown;
    };
    bool event(QEvent* pEvent) override {
        if (pEvent->type() == kMessageEventType) {
            auto* p = static_cast<MessageEvent*>(pEvent);
            if (p->message == WM_POLAR_NOTIFY) {
                notices.push_back(
                    {p->wParam, *pFlag, *pDialog != nullptr && (*pDialog)->isVisible()});
                if (onNotice) {
                    onNotice(p->wParam);
                }
            }
            return true;
        }
        return QWidget::event(pEvent);
    }
    std::vector<Notice> notices;
    // What the host does in its handler.
    std::function<void(WPARAM)> onNotice;
    int* pFlag = nullptr;
    HWND* pDialog = nullptr;
};

constexpr const char* kTwoPlans =
    "Main,\r\n6.00,45.00,\r\n40.00,4.10,90.00,5.40,-1\r\n12.00,40.00,\r\n40.00,6.20,-2\r\n"
    "Light,\r\n4.00,48.00,\r\n45.00,3.00,-2";

class HostTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(Lib().open, nullptr) << Lib().lib.errorString().toStdString();
        m_host.pFlag = &m_nFlag;
        m_host.pDialog = &m_hDialog;
        TempDir::Write(m_strFile, kTwoPlans);
        m_strPath = m_strFile;
    }
    void TearDown() override {
        if (m_nFlag == 1) {
            Lib().close();
        }
        QApplication::processEvents();
        EXPECT_TRUE(m_boxes.AllUsed());
    }
    bool Open(int nLanguage = 44) {
        const bool bOk = Lib().open(&m_host, m_strPath.c_str(), 0x808080, 0xFFFFFF, 0xFF0000,
                                    0xC0FFC0, 0x0000C0, nLanguage, &m_nFlag, &m_hDialog);
        if (bOk && m_hDialog != nullptr) {
            GuiDriver(m_hDialog).Activate();
        }
        return bOk;
    }
    GuiDriver Driver() { return GuiDriver(m_hDialog); }
    QComboBox* Combo(int nId) { return qobject_cast<QComboBox*>(Driver().Control(nId)); }
    // What the host's event loop does between two events, window deletions included.
    void Settle() {
        for (int i = 0; i < 3; ++i) {
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
    std::string m_strPath;
    HostWindow m_host;
    int m_nFlag = 0;
    HWND m_hDialog = nullptr;
    BoxAnswerer m_boxes;
};

TEST_F(HostTest, OpeningShowsTheDataAndHandsOutTheWindowBeforeReturning) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(m_nFlag, 1);
    ASSERT_NE(m_hDialog, nullptr);
    EXPECT_EQ(m_hDialog->objectName(), QString("dialog-%1").arg(IDD_POLAR));
    EXPECT_TRUE(m_hDialog->isVisible());
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 2);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText(), "Main");
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->itemText(1), "12.00");
    EXPECT_EQ(qobject_cast<QLineEdit*>(Driver().Control(IDC_TACKING_ANGLE))->text(), "45");
    auto* pList = qobject_cast<QTableWidget*>(Driver().Control(IDC_VECTOR_LIST));
    ASSERT_EQ(pList->rowCount(), 2);
    EXPECT_EQ(pList->item(1, 0)->text(), "90.00");
    EXPECT_EQ(pList->item(1, 1)->text(), "5.40");
    EXPECT_EQ(pList->horizontalHeaderItem(0)->text(), "True Wind Angle");
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(Driver().Control(IDC_SHOW_ALL))->isChecked());
    EXPECT_NE(m_hDialog->findChild<QWidget*>(QString::number(IDC_DIAGRAM)),
              nullptr);  // the diagram in its frame
}

TEST_F(HostTest, CloseTellsTheHostFirstThenEndsTheEditor) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Driver().Click(2));
    ASSERT_EQ(m_host.notices.size(), 1u);
    EXPECT_EQ(m_host.notices[0].wParam, 0u);
    EXPECT_EQ(m_host.notices[0].nFlag, 1);  // sent while the editor is still alive
    EXPECT_TRUE(m_host.notices[0].bWindowShown);
    EXPECT_EQ(m_nFlag, 0);
    EXPECT_FALSE(Lib().close());
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);  // nothing written
    Settle();
    ASSERT_TRUE(Open());  // a new editor
    EXPECT_EQ(m_nFlag, 1);
}

TEST_F(HostTest, ClosePolarEndsWithoutSavingOrTelling) {
    ASSERT_TRUE(Open());
    QPointer<QWidget> pWindow = m_hDialog;
    EXPECT_FALSE(Lib().close());
    EXPECT_EQ(m_nFlag, 0);
    EXPECT_TRUE(m_host.notices.empty());
    Settle();
    EXPECT_TRUE(pWindow.isNull() || !pWindow->isVisible());
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
}

TEST_F(HostTest, SaveAndCloseWritesThenTellsTheHost) {
    TempDir::Write(m_strFile, "Main,\n6,45,\n40,4.1,-2\n");  // not in the writer's layout
    ASSERT_TRUE(Open());
    polar_api::SendMessage(m_hDialog, polar_api::WM_COMMAND, ID_SAVE_AND_CLOSE, 0);
    ASSERT_EQ(m_host.notices.size(), 1u);
    EXPECT_EQ(m_host.notices[0].wParam, 1u);
    EXPECT_EQ(m_host.notices[0].nFlag, 0);  // after the editor ended
    EXPECT_EQ(TempDir::Read(m_strFile), "Main,\r\n6.00,45.00,\r\n40.00,4.10,-2");
}

TEST_F(HostTest, ReloadByCommandOnlyWithBothParametersAndByTheExport) {
    ASSERT_TRUE(Open());
    TempDir::Write(m_strFile, std::string(kTwoPlans) + "\r\nThird,\r\n8,40,-2");
    polar_api::SendMessage(m_hDialog, polar_api::WM_COMMAND, ID_POLAR_RELOAD, 0);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 2);
    polar_api::SendMessage(m_hDialog, polar_api::WM_COMMAND, ID_POLAR_RELOAD, ID_POLAR_RELOAD);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 3);

    TempDir::Write(m_strFile, "Only,\r\n8,40,-2");
    Lib().reload();
    polar_api::SendMessage(m_hDialog, polar_api::WM_COMMAND, ID_POLAR_RELOAD, ID_POLAR_RELOAD);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 1);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText(), "Only");
}

// reload_polar shows what the file holds now, with the same sail plan and wind speed where
// they still exist; a later edit and Save work on the data shown.
TEST_F(HostTest, ReloadPolarShowsTheFileAndKeepsTheSelectionByNameAndValue) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Driver().PickEntry(IDC_WIND_SPEED_COMBO, 1));  // Main, 12 kn
    TempDir::Write(m_strFile,
                   "Added,\r\n5.00,40.00,\r\n50.00,2.00,-2\r\n"
                   "Main,\r\n6.00,45.00,\r\n40.00,4.10,-1\r\n8.00,42.00,\r\n40.00,5.00,-1\r\n"
                   "12.00,40.00,\r\n40.00,6.50,60.00,7.00,-2");
    Lib().reload();
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 2);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText(), "Main");
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->count(), 3);
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->currentText(), "12.00");
    auto* pList = qobject_cast<QTableWidget*>(Driver().Control(IDC_VECTOR_LIST));
    ASSERT_EQ(pList->rowCount(), 2);
    EXPECT_EQ(pList->item(0, 1)->text(), "6.50");
    EXPECT_TRUE(m_boxes.texts.empty());  // nothing was changed in the editor: no question

    // Deleting the shown point deletes it in the data that were read.
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 1, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    EXPECT_NE(TempDir::Read(m_strFile).find("12.00,40.00,\r\n40.00,6.50,-2"), std::string::npos)
        << TempDir::Read(m_strFile);

    // Where the wind speed is gone, the sail plan's first polar; where the sail plan is gone,
    // the first sail plan.
    TempDir::Write(m_strFile,
                   "Main,\r\n9.00,45.00,\r\n40.00,4.50,-2\r\nOther,\r\n6,40,\r\n40,3,-2");
    Lib().reload();
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText(), "Main");
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->currentText(), "9.00");
    TempDir::Write(m_strFile, "Other,\r\n6,40,\r\n40,3,-2\r\nThird,\r\n8,40,\r\n40,4,-2");
    Lib().reload();
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText(), "Other");
    EXPECT_EQ(pList->item(0, 1)->text(), "3.00");
}

TEST_F(HostTest, ReloadPolarAsksBeforeUnsavedEditsGo) {
    ASSERT_TRUE(Open());
    auto* pList = qobject_cast<QTableWidget*>(Driver().Control(IDC_VECTOR_LIST));
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 0, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));  // Main 6 kn: one point left, not saved
    const std::string strOutside = "Main,\r\n6.00,45.00,\r\n30.00,3.00,40.00,4.00,90.00,5.00,-2";
    TempDir::Write(m_strFile, strOutside);

    // No keeps the edits; the next Save asks before it replaces the changed file, and
    // Overwrite replaces it.
    m_boxes.Expect(QMessageBox::No);
    Lib().reload();
    ASSERT_EQ(m_boxes.texts.size(), 1u);
    EXPECT_EQ(m_boxes.texts[0],
              "The data file was changed outside the editor. Load it and discard your changes?");
    EXPECT_EQ(pList->rowCount(), 1);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 2);
    EXPECT_EQ(TempDir::Read(m_strFile), strOutside);
    m_boxes.ExpectRole(QMessageBox::AcceptRole);  // Overwrite
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    ASSERT_EQ(m_boxes.texts.size(), 2u);
    EXPECT_EQ(m_boxes.texts[1], "POLAR.PPD was changed by another program since it was opened.");
    EXPECT_NE(TempDir::Read(m_strFile).find("Light"), std::string::npos);

    // Yes loads the file.
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 0, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));
    TempDir::Write(m_strFile, strOutside);
    m_boxes.Expect(QMessageBox::Yes);
    polar_api::SendMessage(m_hDialog, polar_api::WM_COMMAND, ID_POLAR_RELOAD, ID_POLAR_RELOAD);
    EXPECT_EQ(m_boxes.texts.size(), 3u);
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 1);
    EXPECT_EQ(pList->rowCount(), 3);
}

// A reload asked for while the editor's own question is open waits for the answer: the
// points that smoothing set aside are back before the file is read.
TEST_F(HostTest, ReloadPolarDuringAQuestionWaitsForTheAnswer) {
    TempDir::Write(m_strFile, "Main,\r\n6,45,\r\n40,4.1,60,5,90,5.4,120,5.1,150,4.3,-2");
    ASSERT_TRUE(Open());
    const std::string strOutside = "Main,\r\n6.00,45.00,\r\n30.00,3.00,40.00,4.00,-2";
    TempDir::Write(m_strFile, strOutside);
    bool bReloadReturned = false;
    QTimer::singleShot(0, [&] {
        Lib().reload();
        bReloadReturned = true;
    });
    m_boxes.Expect(QMessageBox::No);  // keep smoothed data?
    ASSERT_TRUE(Driver().Click(IDC_SMOOTH));
    EXPECT_TRUE(bReloadReturned);
    Settle();
    auto* pList = qobject_cast<QTableWidget*>(Driver().Control(IDC_VECTOR_LIST));
    EXPECT_EQ(pList->rowCount(), 2);
    EXPECT_EQ(m_boxes.texts, std::vector<std::string>{"Keep smoothed data?"});
    EXPECT_EQ(TempDir::Read(m_strFile), strOutside);
}

TEST_F(HostTest, AFlagOtherThanOneStillReloadsButDoesNotClose) {
    ASSERT_TRUE(Open());
    m_nFlag = 2;
    EXPECT_FALSE(Lib().close());
    EXPECT_TRUE(m_hDialog->isVisible());
    m_nFlag = 1;
}

TEST_F(HostTest, SaveWritesAndTellsTheHostAndReportsAFailure) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    ASSERT_EQ(m_host.notices.size(), 1u);
    EXPECT_EQ(m_host.notices[0].wParam, 2u);
    // Save commits first, which puts the current sail plan at its place by name.
    EXPECT_EQ(TempDir::Read(m_strFile),
              "Light,\r\n4.00,48.00,\r\n45.00,3.00,-2\r\nMain,\r\n6.00,45.00,\r\n40.00,4.10,90.00,"
              "5.40,-1\r\n"
              "12.00,40.00,\r\n40.00,6.20,-2");

    // The folder goes away: the save fails, the user is told, the host is not.
    std::filesystem::remove_all(m_dir.Path());
    m_boxes.Expect(QMessageBox::Ok);
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    EXPECT_EQ(m_host.notices.size(), 1u);
    ASSERT_EQ(m_boxes.texts.size(), 1u);
    EXPECT_NE(m_boxes.texts[0].find("could not be saved"), std::string::npos);
    std::filesystem::create_directories(m_dir.Path());
}

TEST_F(HostTest, LanguagesPickTheirTemplates) {
    const struct {
        int nLanguage;
        const char* pszCaption;
    } cases[] = {{33, "Polaire de vitesse"}, {34, "Diagrama polar"}, {46, "Polardiagram"},
                 {47, "Polardiagram"},       {49, "Polardiagramm"},  {44, "Polar Diagram"},
                 {7, "Polar Diagram"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Open(c.nLanguage));
        EXPECT_EQ(m_hDialog->windowTitle().toStdString(), c.pszCaption) << c.nLanguage;
        Lib().close();
        Settle();
    }
    ASSERT_TRUE(Open(47));
    EXPECT_EQ(qobject_cast<QAbstractButton*>(Driver().Control(2))->text(), "Lu&kk");
}

TEST_F(HostTest, FirstSailPlanWithoutPointsOrWithoutPolars) {
    TempDir::Write(m_strFile, "Bare,\r\n5,42,\r\n-2");
    ASSERT_TRUE(Open());
    EXPECT_EQ(qobject_cast<QTableWidget*>(Driver().Control(IDC_VECTOR_LIST))->rowCount(), 0);
    EXPECT_FALSE(Driver().Control(IDC_DELETE_VECTOR)->isEnabled());
    EXPECT_TRUE(Driver().Control(IDC_WIND_SPEED_COMBO)->isEnabled());
    EXPECT_EQ(qobject_cast<QLineEdit*>(Driver().Control(IDC_TACKING_ANGLE))->text(), "42");
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->itemText(0), "5.00");
    Lib().close();
    Settle();

    TempDir::Write(m_strFile, "Empty,\r\nNext,\r\n5,42,\r\n-2");
    ASSERT_TRUE(Open());
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->currentText(), "Empty");
    EXPECT_EQ(Combo(IDC_WIND_SPEED_COMBO)->count(), 0);
    EXPECT_FALSE(Driver().Control(IDC_WIND_SPEED_COMBO)->isEnabled());
    EXPECT_FALSE(Driver().Control(IDC_TACKING_ANGLE)->isEnabled());
    EXPECT_EQ(qobject_cast<QLineEdit*>(Driver().Control(IDC_TACKING_ANGLE))->text(), "");
}

TEST_F(HostTest, AMissingFileIsCreatedEmptyAndADamagedOneIsReported) {
    m_strPath = m_dir.File("new/POLAR.PPD");
    std::filesystem::create_directories(m_dir.Path() / "new");
    ASSERT_TRUE(Open());
    EXPECT_TRUE(std::filesystem::exists(m_strPath));
    EXPECT_EQ(Combo(IDC_SAIL_PLAN_COMBO)->count(), 0);
    EXPECT_FALSE(Driver().Control(IDC_DELETE_SAIL_PLAN)->isEnabled());
    Lib().close();
    Settle();

    m_strPath = m_strFile;
    TempDir::Write(m_strFile, "Main,\r\n6,45,\r\n40,x,-2");
    m_boxes.Expect(QMessageBox::Ok);
    ASSERT_TRUE(Open());
    ASSERT_EQ(m_boxes.texts.size(), 1u);
    EXPECT_NE(m_boxes.texts[0].find(m_strFile), std::string::npos);
    EXPECT_NE(m_boxes.texts[0].find("line 3"), std::string::npos);
}

TEST_F(HostTest, TheDiagramShowsTheCurrentPolarInItsFrame) {
    TempDir::Write(m_strFile, TempDir::Read(POLAR_SAMPLE_FILE));
    ASSERT_TRUE(Open(49));
    QWidget* pGraph = m_hDialog->findChild<QWidget*>(QString::number(IDC_DIAGRAM));
    ASSERT_NE(pGraph, nullptr);
    QWidget* pFrame = Driver().Control(IDC_DIAGRAM_FRAME);
    EXPECT_EQ(pGraph->parentWidget(), pFrame);
    EXPECT_EQ(pGraph->size(), pFrame->size());
    const QImage image = pGraph->grab().toImage();
    int nCurvePixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            nCurvePixels +=
                image.pixel(x, y) == qRgb(0, 0, 0xFF) ? 1 : 0;  // the curve colour, 0x00BBGGRR
        }
    }
    EXPECT_GT(nCurvePixels, 50);
    // Kept for a look: the editor as a user sees it.
    m_hDialog->grab().save(QString(POLAR_GALLERY_DIR) + "/editor-de.png");
}

TEST_F(HostTest, ANullHandleVariableIsHarmless) {
    EXPECT_TRUE(
        Lib().open(&m_host, m_strPath.c_str(), 0, 0xFFFFFF, 0, 0, 0, 44, &m_nFlag, nullptr));
    EXPECT_EQ(m_nFlag, 1);
}

TEST_F(HostTest, OpeningAndClosingTwoHundredTimes) {
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(
            Lib().open(&m_host, m_strPath.c_str(), 0, 0xFFFFFF, 0, 0, 0, 49, &m_nFlag, &m_hDialog));
        if (i % 2 == 0) {
            Lib().close();
        } else {
            polar_api::SendMessage(m_hDialog, polar_api::WM_COMMAND, 2, 0);
        }
        Settle();
        ASSERT_EQ(m_nFlag, 0);
    }
    Settle();
    // Every window the library made is gone once the event loop has run.
    int nLeft = 0;
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        nLeft += pWidget->objectName().startsWith("dialog-") ? 1 : 0;
    }
    EXPECT_EQ(nLeft, 0);
}

// The host may close the editor from its own notification handler: the editor is still in
// its handler then, and goes once control is back in the event loop.
TEST_F(HostTest, ClosePolarInsideTheNotificationHandlerIsSafe) {
    m_host.onNotice = [](WPARAM) { Lib().close(); };
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Driver().Click(IDC_SAVE));  // Save: notification 2
    EXPECT_EQ(m_nFlag, 0);
    Settle();
    ASSERT_TRUE(Open());
    QPointer<QWidget> pWindow = m_hDialog;
    ASSERT_TRUE(Driver().Click(2));  // Close: notification 0
    EXPECT_EQ(m_nFlag, 0);
    Settle();
    EXPECT_TRUE(pWindow.isNull());
    ASSERT_EQ(m_host.notices.size(), 2u);
    EXPECT_EQ(m_host.notices[1].wParam, 0u);
}

TEST_F(HostTest, ClosePolarWhileADialogOrQuestionOfTheEditorRuns) {
    ASSERT_TRUE(Open());
    // The "Sailplan" dialog's loop runs inside the editor's handler.
    QTimer::singleShot(50, [] { Lib().close(); });
    ASSERT_TRUE(Driver().Click(IDC_ADD_SAIL_PLAN));
    EXPECT_EQ(m_nFlag, 0);
    Settle();
    for (QWidget* pWidget : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(pWidget->isVisible() && pWidget->objectName().startsWith("dialog-"))
            << pWidget->objectName().toStdString();
    }

    // The question about unsaved changes is open when the host closes the editor.
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Driver().Click(IDC_ADD_VECTOR));  // an unsaved point
    QTimer::singleShot(0, [] { Lib().close(); });
    ASSERT_TRUE(Driver().Click(2));
    EXPECT_EQ(m_nFlag, 0);
    EXPECT_TRUE(m_host.notices.empty());  // closed by the host: nothing notified
    Settle();
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
}

TEST_F(HostTest, AReadOnlyFileIsNotSavedAndTheHostNotTold) {
    ::chmod(m_strFile.c_str(), 0444);
    ASSERT_TRUE(Open());
    m_boxes.Expect(QMessageBox::Ok);
    ASSERT_TRUE(Driver().Click(IDC_SAVE));
    ASSERT_EQ(m_boxes.texts.size(), 1u);
    EXPECT_NE(m_boxes.texts[0].find("read-only"), std::string::npos) << m_boxes.texts[0];
    EXPECT_TRUE(m_host.notices.empty());
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);
}

TEST_F(HostTest, ASaveAndCloseThatCannotWriteKeepsTheEditorOpen) {
    // The longest name the folder holds: its temporary file must fit too.
    m_strFile = m_dir.File(std::string(251, 'P') + ".PPD");
    m_strPath = m_strFile;
    TempDir::Write(m_strFile, kTwoPlans);
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Driver().ClickCell(IDC_VECTOR_LIST, 0, 0));
    ASSERT_TRUE(Driver().Click(IDC_DELETE_VECTOR));

    // The folder goes away: nothing can be written, and nothing closes.
    const std::filesystem::path moved = m_dir.Path().string() + "-moved";
    std::filesystem::rename(m_dir.Path(), moved);
    m_boxes.Expect(QMessageBox::Ok);
    polar_api::SendMessage(m_hDialog, polar_api::WM_COMMAND, ID_SAVE_AND_CLOSE, 0);
    std::filesystem::rename(moved, m_dir.Path());
    ASSERT_EQ(m_boxes.texts.size(), 1u);
    EXPECT_NE(m_boxes.texts[0].find("could not be saved"), std::string::npos) << m_boxes.texts[0];
    EXPECT_EQ(m_nFlag, 1);
    EXPECT_TRUE(m_host.notices.empty());
    EXPECT_TRUE(m_hDialog->isVisible());
    EXPECT_EQ(TempDir::Read(m_strFile), kTwoPlans);

    // Once it can be written, the same command saves the edit and closes.
    polar_api::SendMessage(m_hDialog, polar_api::WM_COMMAND, ID_SAVE_AND_CLOSE, 0);
    ASSERT_EQ(m_host.notices.size(), 1u);
    EXPECT_EQ(m_host.notices[0].wParam, 1u);
    EXPECT_NE(TempDir::Read(m_strFile), kTwoPlans);
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
        const std::string strName = entry.path().string();
        EXPECT_TRUE(strName == m_strFile || strName == m_dir.File("POLAR.PPD"))
            << strName << ": no temporary file is left";
    }
}

}  // namespace
