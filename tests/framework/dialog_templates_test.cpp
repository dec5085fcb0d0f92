#include <gtest/gtest.h>

#include <QFontInfo>
#include <QKeySequence>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "resources/dialog_resources.h"
#include "resources/resource_ids.h"

namespace {

TEST(DialogTemplates, LanguageSelectionAndFallback) {
    const struct {
        int nLanguage;
        WORD wLangId;
        WORD wTemplates;
    } cases[] = {{33, LANG_FRENCH, LANG_FRENCH},       {34, LANG_SPANISH, LANG_SPANISH},
                 {46, LANG_SWEDISH, LANG_SWEDISH},     {47, LANG_NORWEGIAN, LANG_NORWEGIAN},
                 {49, LANG_GERMAN, LANG_GERMAN},       {44, LANG_ENGLISH_US, LANG_ENGLISH_US},
                 {1, LANG_ENGLISH_US, LANG_ENGLISH_US}};
    for (const auto& c : cases) {
        SetLanguage(c.nLanguage);
        EXPECT_EQ(g_nLanguage, c.nLanguage);
        EXPECT_EQ(g_wDialogLangId, c.wLangId);
        for (int nId : {IDD_POLAR, IDD_NEW_WINDSPEED, IDD_NEW_SAILPLAN}) {
            ASSERT_NE(LoadDialogTemplate(nId), nullptr);
            EXPECT_EQ(LoadDialogTemplate(nId)->wLanguage, c.wTemplates)
                << c.nLanguage << " " << nId;
        }
        // The cell editor exists in English only.
        EXPECT_EQ(LoadDialogTemplate(IDD_EDIT_CELL)->wLanguage, LANG_ENGLISH_US);
    }
    EXPECT_EQ(LoadDialogTemplate(999), nullptr);
    SetLanguage(44);
}

TEST(DialogTemplates, EditorTemplatesHoldTheirControls) {
    const DialogTemplate* pEnglish = FindDialogTemplate(IDD_POLAR, LANG_ENGLISH_US);
    ASSERT_NE(pEnglish, nullptr);
    EXPECT_EQ(pEnglish->items.size(), 27u);
    EXPECT_EQ(pEnglish->strCaption, "Polar Diagram");
    const DialogItemTemplate* pOk = pEnglish->FindItem(IDC_SAVE_AND_CLOSE);
    ASSERT_NE(pOk, nullptr);
    EXPECT_EQ(pOk->dwStyle & WS_VISIBLE, 0u);
    EXPECT_NE(pOk->dwStyle & WS_DISABLED, 0u);
    const DialogItemTemplate* pList = pEnglish->FindItem(IDC_VECTOR_LIST);
    EXPECT_EQ(pList->x, 12);
    EXPECT_EQ(pList->cy, 184);
    for (WORD wLang : {LANG_GERMAN, LANG_FRENCH, LANG_NORWEGIAN, LANG_SPANISH}) {
        const DialogTemplate* p = FindDialogTemplate(IDD_POLAR, wLang);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->items.size(), 30u);
        for (const auto& item : pEnglish->items) {
            if (item.nId != IDC_STATIC) {
                EXPECT_NE(p->FindItem(item.nId), nullptr) << item.nId;
            }
        }
    }
    EXPECT_EQ(FindDialogTemplate(IDD_POLAR, LANG_GERMAN)->cx, 407);
    EXPECT_EQ(FindDialogTemplate(IDD_POLAR, LANG_FRENCH)->cy, 340);
}

// A button's word without its key's mark.
std::string Word(WORD wLanguage, int nId) {
    std::string strText = FindDialogTemplate(IDD_POLAR, wLanguage)->FindItem(nId)->strText;
    std::erase(strText, '&');
    return strText;
}

TEST(DialogTemplates, DamagedWordsAreMended) {
    EXPECT_EQ(Word(LANG_GERMAN, IDC_SMOOTH), "Glätten");
    EXPECT_EQ(Word(LANG_GERMAN, IDC_RESTORE), "Wiederherstellen");
    EXPECT_EQ(Word(LANG_NORWEGIAN, IDC_RESTORE), "Gjenopprett");
    EXPECT_EQ(Word(LANG_FRENCH, IDC_SMOOTH), "Lisser");
    EXPECT_EQ(Word(LANG_FRENCH, IDC_SAVE), "Enregistrer");
    EXPECT_EQ(Word(LANG_FRENCH, IDC_BACKUP), "Copie de secours");
    EXPECT_EQ(Word(LANG_SPANISH, IDC_SMOOTH), "Suavizar");
}

// A word means one thing in a language: the tacking angle of the "Wind speed" dialog is named
// as in the editor and the "Sailplan" dialog, and the sail plan as in the editor's frame.
TEST(DialogTemplates, EachLanguageNamesTheTackingAngleAndTheSailPlanOnce) {
    auto texts = [](int nId, WORD wLang) {
        std::vector<std::string> v;
        for (const auto& item : FindDialogTemplate(nId, wLang)->items) {
            v.push_back(item.strText);
        }
        return v;
    };
    auto holds = [](const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    };
    for (WORD wLang : {LANG_ENGLISH_US, LANG_GERMAN, LANG_FRENCH, LANG_NORWEGIAN, LANG_SPANISH}) {
        const std::vector<std::string> windSpeed = texts(IDD_NEW_WINDSPEED, wLang);
        const std::string strTacking = windSpeed[4];
        EXPECT_TRUE(holds(texts(IDD_POLAR, wLang), strTacking)) << strTacking;
        EXPECT_TRUE(holds(texts(IDD_NEW_SAILPLAN, wLang), strTacking)) << strTacking;
        for (const auto& item : FindDialogTemplate(IDD_NEW_SAILPLAN, wLang)->items) {
            EXPECT_EQ(item.strText.find("(bands)"), std::string::npos) << wLang;
        }
    }
    for (WORD wLang : {LANG_GERMAN, LANG_FRENCH, LANG_NORWEGIAN, LANG_SPANISH}) {
        const std::string strCaption = FindDialogTemplate(IDD_NEW_SAILPLAN, wLang)->strCaption;
        EXPECT_TRUE(holds(texts(IDD_POLAR, wLang), strCaption)) << strCaption;
    }
}

TEST(DialogTemplates, DialogUnitsFollowTheFontsBaseUnits) {
    const DialogTemplate* pTemplate = FindDialogTemplate(IDD_NEW_WINDSPEED, LANG_ENGLISH_US);
    const QFont font = DialogFont(*pTemplate);
    EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans");
    const DialogBaseUnits units = BaseUnitsOf(font);
    EXPECT_GE(units.cx, 5);
    EXPECT_LE(units.cx, 7);
    EXPECT_GE(units.cy, 11);
    EXPECT_LE(units.cy, 14);
    EXPECT_EQ(DialogUnitsToPixelsX(137, units), (137 * units.cx + 2) / 4);

    CDialog dialog(pTemplate);
    ASSERT_TRUE(dialog.CreateIndirect(pTemplate));
    QWidget* pWidget = dialog.GetSafeHwnd();
    EXPECT_EQ(pWidget->objectName(), QString("dialog-%1").arg(IDD_NEW_WINDSPEED));
    EXPECT_EQ(pWidget->width(), DialogUnitsToPixelsX(137, dialog.BaseUnits()));
    QWidget* pEdit = pWidget->findChild<QWidget*>(QString::number(IDC_NEW_WIND_SPEED));
    ASSERT_NE(pEdit, nullptr);
    EXPECT_EQ(pEdit->x(), DialogUnitsToPixelsX(90, dialog.BaseUnits()));
    EXPECT_EQ(pEdit->width(), DialogUnitsToPixelsX(115, dialog.BaseUnits()) -
                                  DialogUnitsToPixelsX(90, dialog.BaseUnits()));
}

// Every button of the editor that a user can reach has a key, and no two share one, in every
// language: Alt and the letter press the button.
TEST(DialogTemplates, TheEditorsButtonsHaveDistinctKeysInEveryLanguage) {
    for (WORD wLanguage :
         {LANG_ENGLISH_US, LANG_GERMAN, LANG_FRENCH, LANG_NORWEGIAN, LANG_SWEDISH, LANG_SPANISH}) {
        const DialogTemplate* pTemplate = FindDialogTemplate(IDD_POLAR, wLanguage);
        ASSERT_NE(pTemplate, nullptr);
        std::vector<QString> keys;
        int nButtons = 0;
        for (const auto& item : pTemplate->items) {
            const bool bNeverShown =
                (item.dwStyle & WS_VISIBLE) == 0 && (item.dwStyle & WS_DISABLED) != 0;
            if (item.cls != ControlClass::Button || (item.dwStyle & 0xF) == BS_GROUPBOX ||
                bNeverShown) {
                continue;
            }
            ++nButtons;
            const QString text = QString::fromStdString(item.strText);
            const QString key = QKeySequence::mnemonic(text).toString().toLower();
            EXPECT_FALSE(key.isEmpty()) << wLanguage << ": " << item.strText;
            EXPECT_EQ(std::count(keys.begin(), keys.end(), key), 0)
                << wLanguage << ": " << item.strText;
            keys.push_back(key);
        }
        EXPECT_GE(nButtons, 14) << wLanguage;
    }
}

}  // namespace
