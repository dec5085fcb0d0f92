// The real message boxes, file dialogs and tool tips of the framework, shown offscreen and
// answered from the event loop: what they ask and the font they are shown in.
#include "framework/interaction.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <functional>
#include <memory>

#include "framework/controls.h"

namespace {

class RealInteraction : public testing::Test {
  protected:
    void SetUp() override {
        m_appFont = QApplication::font();
        m_tipFont = QToolTip::font();
        // A desktop font far from the dialogs' one, so that taking it shows.
        QApplication::setFont(QFont("DejaVu Serif", 15));
        m_pPrevious = SetInteraction(nullptr);  // the real dialogs
    }
    void TearDown() override {
        SetInteraction(std::move(m_pPrevious));
        QApplication::setFont(m_appFont);
        QToolTip::setFont(m_tipFont);
    }
    // Calls look with the modal window once it is shown; look closes it.
    void WhenShown(const std::function<void(QWidget*)>& look) {
        auto* pTimer = new QTimer(qApp);
        pTimer->setInterval(10);
        QObject::connect(pTimer, &QTimer::timeout, [pTimer, look] {
            QWidget* pModal = QApplication::activeModalWidget();
            if (pModal == nullptr || !pModal->isVisible()) {
                return;
            }
            pTimer->stop();
            pTimer->deleteLater();
            look(pModal);
        });
        pTimer->start();
    }
    static void ExpectDialogFont(const QWidget* pWidget, const char* pszWhat) {
        ASSERT_NE(pWidget, nullptr) << pszWhat;
        const QFont expected = StandardDialogFont();
        EXPECT_EQ(pWidget->font().family(), expected.family()) << pszWhat;
        EXPECT_EQ(pWidget->font().pointSize(), expected.pointSize()) << pszWhat;
    }

    QFont m_appFont;
    QFont m_tipFont;
    std::unique_ptr<Interaction> m_pPrevious;
};

TEST_F(RealInteraction, AMessageBoxIsInTheDialogsFont) {
    ASSERT_NE(StandardDialogFont().pointSize(), QApplication::font().pointSize());
    bool bShown = false;
    WhenShown([&](QWidget* pModal) {
        auto* pBox = qobject_cast<QMessageBox*>(pModal);
        ASSERT_NE(pBox, nullptr);
        bShown = true;
        ExpectDialogFont(pBox, "box");
        ExpectDialogFont(pBox->findChild<QLabel*>("qt_msgbox_label"), "text");
        ExpectDialogFont(pBox->button(QMessageBox::Yes), "button");
        pBox->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(GetInteraction().MessageBox(nullptr, "Keep the points?", "Polar",
                                          MB_YESNO | MB_ICONQUESTION),
              IDYES);
    EXPECT_TRUE(bShown);
}

TEST_F(RealInteraction, TheCloseQuestionOffersSaveDiscardAndCancelAndEscapeCancels) {
    bool bShown = false;
    WhenShown([&](QWidget* pModal) {
        auto* pBox = qobject_cast<QMessageBox*>(pModal);
        ASSERT_NE(pBox, nullptr);
        bShown = true;
        EXPECT_EQ(pBox->button(QMessageBox::Save)->text(), "&Save");
        EXPECT_EQ(pBox->button(QMessageBox::Discard)->text(), "&Discard");
        EXPECT_EQ(pBox->button(QMessageBox::Cancel)->text(), "Cancel");
        EXPECT_EQ(static_cast<QAbstractButton*>(pBox->defaultButton()),
                  pBox->button(QMessageBox::Save));
        EXPECT_EQ(pBox->buttons().size(), 3);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(pBox, &escape);
    });
    EXPECT_EQ(GetInteraction().MessageBox(nullptr, "Save them?", "Polar",
                                          MB_SAVEDISCARDCANCEL | MB_ICONQUESTION),
              IDCANCEL);
    EXPECT_TRUE(bShown);
    WhenShown([](QWidget* pModal) {
        qobject_cast<QMessageBox*>(pModal)->button(QMessageBox::Discard)->click();
    });
    EXPECT_EQ(GetInteraction().MessageBox(nullptr, "Save them?", "Polar", MB_SAVEDISCARDCANCEL),
              IDNO);
    WhenShown([](QWidget* pModal) {
        qobject_cast<QMessageBox*>(pModal)->button(QMessageBox::Save)->click();
    });
    EXPECT_EQ(GetInteraction().MessageBox(nullptr, "Save them?", "Polar", MB_SAVEDISCARDCANCEL),
              IDYES);
}

TEST_F(RealInteraction, AFileDialogSavesOrOpensUnderItsTitleInTheDialogsFont) {
    for (const bool bOpen : {false, true}) {
        FileDialogRequest request;
        request.bOpen = bOpen;
        request.strTitle = bOpen ? "Restore" : "Back up the polars";
        request.strFilter = "Polar Files (*.ppd)|*.ppd||";
        request.strDefaultExt = "ppd";
        bool bShown = false;
        WhenShown([&](QWidget* pModal) {
            auto* pDialog = qobject_cast<QFileDialog*>(pModal);
            ASSERT_NE(pDialog, nullptr);
            bShown = true;
            EXPECT_EQ(pDialog->acceptMode(),
                      bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
            EXPECT_EQ(pDialog->windowTitle().toStdString(), request.strTitle);
            if (!bOpen) {
                EXPECT_EQ(pDialog->labelText(QFileDialog::Accept), "&Save");
            }
            ExpectDialogFont(pDialog, "dialog");
            ExpectDialogFont(pDialog->findChild<QLineEdit*>(), "file name");
            pDialog->reject();
        });
        std::string strPath = "unchanged";
        EXPECT_FALSE(GetInteraction().ChooseFile(nullptr, request, strPath));
        EXPECT_EQ(strPath, "unchanged");  // cancelled: nothing chosen
        EXPECT_TRUE(bShown) << (bOpen ? "open" : "save");
    }
}

TEST_F(RealInteraction, ToolTipsAreInTheDialogsFont) {
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(nullptr));
    EXPECT_EQ(QToolTip::font().family(), StandardDialogFont().family());
    EXPECT_EQ(QToolTip::font().pointSize(), StandardDialogFont().pointSize());
}

}  // namespace
