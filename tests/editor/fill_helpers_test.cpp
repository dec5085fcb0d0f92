#include "editor/fill_helpers.h"

#include <gtest/gtest.h>

#include "framework/dialog.h"
#include "tests/support/polar_builders.h"

namespace {

DialogTemplate ListTemplate() {
    DialogTemplate t{503, 0x0409, WS_POPUP | WS_CAPTION, 200, 120, "Fill", "MS Sans Serif", 8, {}};
    t.items = {{1, ControlClass::ComboBox, WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 5, 5, 80, 60, ""},
               {2, ControlClass::ListView, WS_CHILD | WS_VISIBLE | LVS_REPORT, 5, 25, 150, 80, ""}};
    return t;
}

TEST(FillHelpers, ComboAndListShowTwoDecimals) {
    DialogTemplate t = ListTemplate();
    CDialog dialog(&t);
    ASSERT_TRUE(dialog.CreateIndirect(&t));
    CComboBox combo;
    CListCtrl list;
    combo.Attach(dialog.GetDlgItem(1)->GetSafeHwnd());
    list.Attach(dialog.GetDlgItem(2)->GetSafeHwnd());
    list.InsertColumn(0, "Angle");
    list.InsertColumn(1, "Speed");

    SAILPLAN plan("Main");
    AddPolar(plan, 5.0f, 45.0f, {{40.0f, 5.456f}, {90.0f, 6.0f}});
    AddPolar(plan, 12.345f, 40.0f, {});
    FillWindSpeedCombo(plan, combo);
    ASSERT_EQ(combo.GetCount(), 2);
    EXPECT_EQ(combo.GetLBText(0), "5.00");
    EXPECT_EQ(combo.GetLBText(1), "12.35");
    EXPECT_EQ(combo.GetCurSel(), 0);

    FillVectorList(plan, 0, list);
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(0, 1), "5.46");
    FillVectorList(plan, 2, list);  // no such polar: the list stays empty
    EXPECT_EQ(list.GetItemCount(), 0);
    combo.Detach();
    list.Detach();
}

TEST(FillHelpers, NamesAreShownAsText) {
    EXPECT_EQ(DisplayName(SAILPLAN("Fl\xE6k")), "Fl\xC3\xA6k");
    EXPECT_EQ(DisplayName(SAILPLAN("Gennaker \xC3\xB8")), "Gennaker \xC3\xB8");
}

}  // namespace
