#pragma once

#include "polar/polar_messages.h"

// The ids of the dialog templates and of their controls, as the dialogs, the message maps,
// the data exchange and the tests name them. The numbers are those the templates have always
// had; controls of different dialogs may share a number.

// Dialog templates.
constexpr int IDD_POLAR = 1000;
constexpr int IDD_EDIT_CELL = 1002;
constexpr int IDD_NEW_WINDSPEED = 1003;
constexpr int IDD_NEW_SAILPLAN = 1004;

// The editor (IDD_POLAR).
constexpr int IDC_HELP_BUTTON = 3;  // hidden
constexpr int IDC_VECTOR_LIST = 1004;
constexpr int IDC_DIAGRAM_FRAME = 1006;
constexpr int IDC_ADD_SAIL_PLAN = 1007;
constexpr int IDC_DELETE_SAIL_PLAN = 1008;
constexpr int IDC_ADD_WIND_SPEED = 1009;
constexpr int IDC_DELETE_WIND_SPEED = 1010;
constexpr int IDC_ADD_VECTOR = 1011;
constexpr int IDC_SAIL_PLAN_COMBO = 1012;
constexpr int IDC_WIND_SPEED_COMBO = 1013;
constexpr int IDC_TACKING_ANGLE = 1014;
constexpr int IDC_DELETE_VECTOR = 1015;
constexpr int IDC_SAVE = 1016;
// Hidden and disabled: the button that the host's save-and-close command clicks.
constexpr int IDC_SAVE_AND_CLOSE = static_cast<int>(polar_api::ID_SAVE_AND_CLOSE);
constexpr int IDC_TRACK_CURVE = 1024;
constexpr int IDC_SHOW_ALL = 1025;
constexpr int IDC_UNUSED_EDIT_1 = 1026;  // hidden
constexpr int IDC_UNUSED_EDIT_2 = 1027;  // hidden
constexpr int IDC_UNUSED_EDIT_3 = 1028;  // hidden
constexpr int IDC_SMOOTH = 1036;
constexpr int IDC_BACKUP = 1037;
constexpr int IDC_RESTORE = 1038;
// The diagram window, a child of IDC_DIAGRAM_FRAME made at run time.
constexpr int IDC_DIAGRAM = 1234;

// The cell editor (IDD_EDIT_CELL).
constexpr int IDC_CELL_EDIT = 1015;

// "Wind speed" (IDD_NEW_WINDSPEED).
constexpr int IDC_NEW_WIND_SPEED = 1030;
constexpr int IDC_NEW_WIND_SPEED_TACKING_ANGLE = 1031;

// "Sailplan" (IDD_NEW_SAILPLAN).
constexpr int IDC_SAIL_PLAN_NAME = 1031;
constexpr int IDC_BAND_MINIMUM = 1032;
constexpr int IDC_BAND_MAXIMUM = 1033;
constexpr int IDC_BAND_INTERVAL = 1034;
constexpr int IDC_BAND_MINIMUM_SPIN = 1035;
constexpr int IDC_SAIL_PLAN_TACKING_ANGLE = 1036;
constexpr int IDC_BAND_MAXIMUM_SPIN = 1037;
constexpr int IDC_BAND_INTERVAL_SPIN = 1038;
constexpr int IDC_SAIL_PLAN_TACKING_SPIN = 1039;
