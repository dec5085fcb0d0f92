// The dialog templates of the editor in English, German, French, Norwegian, Spanish and Swedish.
#include <cmath>
#include <utility>

#include "resources/dialog_resources.h"

namespace {

constexpr DWORD kVisible = WS_VISIBLE | WS_CHILD;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kPush = kVisible | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDefPush = kVisible | BS_DEFPUSHBUTTON | WS_TABSTOP;
constexpr DWORD kGroupBox = kVisible | BS_GROUPBOX;
constexpr DWORD kCheck = kVisible | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kLabel = kVisible | SS_LEFT;
constexpr DWORD kEdit = kVisible | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kUpDown = kVisible | UDS_ARROWKEYS | UDS_AUTOBUDDY | UDS_ALIGNRIGHT;
constexpr DWORD kCombo = kVisible | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kHiddenEdit = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP;

DialogItemTemplate Button(int nId, DWORD dwStyle, int x, int y, int cx, int cy, std::string text) {
    return {nId, ControlClass::Button, dwStyle, x, y, cx, cy, std::move(text)};
}
DialogItemTemplate Static(int nId, DWORD dwStyle, int x, int y, int cx, int cy, std::string text) {
    return {nId, ControlClass::Static, dwStyle, x, y, cx, cy, std::move(text)};
}
DialogItemTemplate Edit(int nId, DWORD dwStyle, int x, int y, int cx, int cy) {
    return {nId, ControlClass::Edit, dwStyle, x, y, cx, cy, ""};
}
DialogItemTemplate UpDown(int nId, int x, int y, int cx, int cy) {
    return {nId, ControlClass::UpDown, kUpDown, x, y, cx, cy, ""};
}

// ---- Template 1000: the editor ----

struct EditorTexts {
    WORD wLanguage;
    int cx, cy;
    const char* caption;
    const char* ok;
    const char* close;
    const char* addSailPlan;
    const char* deleteSailPlan;
    const char* add;
    const char* remove;
    const char* tackingAngle;
    const char* windSpeedFrame;
    const char* sailPlanFrame;
    const char* save;
    const char* trackCurve;
    const char* showAll;
    const char* help;
    const char* smooth;
    const char* backup;
    const char* restore;
    const char* databaseFrame;
    // The three hidden labels beside the unused edits (none in English).
    const char* hiddenLabels[3];
};

DialogTemplate EditorTemplate(const EditorTexts& t) {
    // The editor may be resized and maximised; the template gives its least size.
    DialogTemplate d{IDD_POLAR,
                     t.wLanguage,
                     kDialogStyle | WS_THICKFRAME | WS_MAXIMIZEBOX,
                     t.cx,
                     t.cy,
                     t.caption,
                     "MS Sans Serif",
                     8,
                     {}};
    auto& items = d.items;
    items.push_back(Button(IDC_SAVE_AND_CLOSE, WS_CHILD | WS_DISABLED | BS_PUSHBUTTON | WS_TABSTOP,
                           156, 314, 44, 14, t.ok));
    items.push_back(Button(IDCANCEL, kPush, 95, 314, 44, 14, t.close));
    items.push_back({IDC_VECTOR_LIST, ControlClass::ListView,
                     kVisible | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOLABELWRAP |
                         LVS_AUTOARRANGE | LVS_ALIGNLEFT | LVS_NOSORTHEADER | WS_BORDER |
                         WS_TABSTOP,
                     12, 61, 140, 184, "List4"});
    items.push_back(
        Static(IDC_DIAGRAM_FRAME, kVisible | SS_BLACKFRAME | WS_BORDER, 161, 61, 240, 250, ""));
    items.push_back(Button(IDC_ADD_SAIL_PLAN, kPush, 20, 35, 60, 14, t.addSailPlan));
    items.push_back(Button(IDC_DELETE_SAIL_PLAN, kPush, 86, 35, 60, 14, t.deleteSailPlan));
    items.push_back({IDC_SAIL_PLAN_COMBO, ControlClass::ComboBox, kCombo, 20, 18, 125, 41, ""});
    items.push_back(
        {IDC_WIND_SPEED_COMBO, ControlClass::ComboBox, kCombo | WS_GROUP, 169, 18, 120, 56, ""});
    items.push_back(Button(IDC_ADD_WIND_SPEED, kPush | WS_GROUP, 170, 35, 59, 14, t.add));
    items.push_back(Button(IDC_DELETE_WIND_SPEED, kPush | WS_GROUP, 234, 35, 56, 14, t.remove));
    items.push_back(Edit(IDC_TACKING_ANGLE, kEdit, 306, 17, 83, 13));
    items.push_back(Static(IDC_STATIC, kLabel | WS_GROUP, 317, 35, 64, 14, t.tackingAngle));
    items.push_back(Button(IDC_STATIC, kGroupBox, 162, 4, 239, 51, t.windSpeedFrame));
    items.push_back(Button(IDC_STATIC, kGroupBox, 12, 4, 140, 51, t.sailPlanFrame));
    items.push_back(Button(IDC_ADD_VECTOR, kPush | WS_GROUP, 11, 251, 68, 14, t.add));
    items.push_back(Button(IDC_DELETE_VECTOR, kPush | WS_GROUP, 84, 251, 68, 14, t.remove));
    items.push_back(Button(IDC_SAVE, kPush, 19, 314, 44, 14, t.save));
    items.push_back(Button(IDC_TRACK_CURVE, kCheck, 219, 318, 55, 10, t.trackCurve));
    items.push_back(Button(IDC_SHOW_ALL, kCheck, 283, 318, 43, 10, t.showAll));
    items.push_back(
        Button(IDC_HELP_BUTTON, WS_CHILD | BS_PUSHBUTTON | WS_TABSTOP, 357, 314, 44, 14, t.help));
    items.push_back(Edit(IDC_UNUSED_EDIT_1, kHiddenEdit, 155, 313, 30, 15));
    items.push_back(Edit(IDC_UNUSED_EDIT_2, kHiddenEdit, 166, 313, 30, 15));
    if (t.hiddenLabels[0] != nullptr) {
        for (int i = 0; i < 3; ++i) {
            items.push_back(Static(IDC_STATIC, WS_CHILD | SS_LEFT, 125 + 15 * i, 300, 30, 8,
                                   t.hiddenLabels[i]));
        }
    }
    items.push_back(Edit(IDC_UNUSED_EDIT_3, kHiddenEdit, 169, 313, 25, 15));
    items.push_back(Button(IDC_SMOOTH, kPush, 93, 279, 45, 13, t.smooth));
    items.push_back(Button(IDC_BACKUP, kPush, 18, 280, 47, 13, t.backup));
    items.push_back(Button(IDC_RESTORE, kPush, 17, 294, 47, 13, t.restore));
    items.push_back(Button(IDC_STATIC, kGroupBox, 7, 270, 68, 41, t.databaseFrame));
    return d;
}

// The editor's buttons with their keys, per language: distinct within the window, the points'
// and the wind speed's buttons apart from the sail plan's ("Add" three times in English leaves
// no letter, so there the wind speed's read "New" and "Remove" and the points' name the point).
struct EditorButtonKeys {
    WORD wLanguage;
    std::pair<int, const char*> texts[14];
};

const EditorButtonKeys kEditorButtonKeys[] = {
    {LANG_ENGLISH_US,
     {{IDCANCEL, "&Close"},
      {IDC_ADD_SAIL_PLAN, "&Add"},
      {IDC_DELETE_SAIL_PLAN, "&Delete"},
      {IDC_ADD_WIND_SPEED, "Ne&w"},
      {IDC_DELETE_WIND_SPEED, "&Remove"},
      {IDC_ADD_VECTOR, "Add &point"},
      {IDC_DELETE_VECTOR, "Delete poi&nt"},
      {IDC_SAVE, "&Save"},
      {IDC_TRACK_CURVE, "&Track curve"},
      {IDC_SHOW_ALL, "Show A&ll"},
      {IDC_HELP_BUTTON, "&Help"},
      {IDC_SMOOTH, "S&mooth"},
      {IDC_BACKUP, "&Backup"},
      {IDC_RESTORE, "R&estore"}}},
    {LANG_GERMAN,
     {{IDCANCEL, "S&chließen"},
      {IDC_ADD_SAIL_PLAN, "&Hinzufügen"},
      {IDC_DELETE_SAIL_PLAN, "&Löschen"},
      {IDC_ADD_WIND_SPEED, "H&inzufügen"},
      {IDC_DELETE_WIND_SPEED, "Lösch&en"},
      {IDC_ADD_VECTOR, "Hin&zufügen"},
      {IDC_DELETE_VECTOR, "Lö&schen"},
      {IDC_SAVE, "S&peichern"},
      {IDC_TRACK_CURVE, "&Kurve ablesen"},
      {IDC_SHOW_ALL, "&Alles anzeigen"},
      {IDC_HELP_BUTTON, "Hil&fe"},
      {IDC_SMOOTH, "&Glätten"},
      {IDC_BACKUP, "Siche&rn"},
      {IDC_RESTORE, "&Wiederherstellen"}}},
    {LANG_FRENCH,
     {{IDCANCEL, "&Fermer"},
      {IDC_ADD_SAIL_PLAN, "&Ajouter"},
      {IDC_DELETE_SAIL_PLAN, "&Supprimer"},
      {IDC_ADD_WIND_SPEED, "A&jouter"},
      {IDC_DELETE_WIND_SPEED, "S&upprimer"},
      {IDC_ADD_VECTOR, "Aj&outer"},
      {IDC_DELETE_VECTOR, "Su&pprimer"},
      {IDC_SAVE, "&Enregistrer"},
      {IDC_TRACK_CURVE, "&Lire la courbe"},
      {IDC_SHOW_ALL, "Affic&her tout"},
      {IDC_HELP_BUTTON, "A&ide"},
      {IDC_SMOOTH, "Lisse&r"},
      {IDC_BACKUP, "&Copie de secours"},
      {IDC_RESTORE, "Res&taurer"}}},
    {LANG_NORWEGIAN,
     {{IDCANCEL, "Lu&kk"},
      {IDC_ADD_SAIL_PLAN, "&Legg til"},
      {IDC_DELETE_SAIL_PLAN, "&Fjern"},
      {IDC_ADD_WIND_SPEED, "Le&gg til"},
      {IDC_DELETE_WIND_SPEED, "Fj&ern"},
      {IDC_ADD_VECTOR, "Legg &til"},
      {IDC_DELETE_VECTOR, "Fje&rn"},
      {IDC_SAVE, "L&agre"},
      {IDC_TRACK_CURVE, "Følg k&urven"},
      {IDC_SHOW_ALL, "&Vis alt"},
      {IDC_HELP_BUTTON, "&Hjelp"},
      {IDC_SMOOTH, "&Jevn ut"},
      {IDC_BACKUP, "&Sikkerhetskopi"},
      {IDC_RESTORE, "Gje&nopprett"}}},
    {LANG_SWEDISH,
     {{IDCANCEL, "St&äng"},
      {IDC_ADD_SAIL_PLAN, "&Lägg till"},
      {IDC_DELETE_SAIL_PLAN, "&Ta bort"},
      {IDC_ADD_WIND_SPEED, "Lä&gg till"},
      {IDC_DELETE_WIND_SPEED, "Ta &bort"},
      {IDC_ADD_VECTOR, "Lägg t&ill"},
      {IDC_DELETE_VECTOR, "Ta b&ort"},
      {IDC_SAVE, "&Spara"},
      {IDC_TRACK_CURVE, "&Följ kurvan"},
      {IDC_SHOW_ALL, "&Visa alla"},
      {IDC_HELP_BUTTON, "&Hjälp"},
      {IDC_SMOOTH, "&Jämna ut"},
      {IDC_BACKUP, "Sä&kerhetskopiera"},
      {IDC_RESTORE, "&Återställ"}}},
    {LANG_SPANISH,
     {{IDCANCEL, "&Cerrar"},
      {IDC_ADD_SAIL_PLAN, "&Añadir"},
      {IDC_DELETE_SAIL_PLAN, "&Borrar"},
      {IDC_ADD_WIND_SPEED, "A&ñadir"},
      {IDC_DELETE_WIND_SPEED, "B&orrar"},
      {IDC_ADD_VECTOR, "Aña&dir"},
      {IDC_DELETE_VECTOR, "Bo&rrar"},
      {IDC_SAVE, "&Guardar"},
      {IDC_TRACK_CURVE, "&Leer curva"},
      {IDC_SHOW_ALL, "&Mostrar todo"},
      {IDC_HELP_BUTTON, "A&yuda"},
      {IDC_SMOOTH, "&Suavizar"},
      {IDC_BACKUP, "Res&paldar"},
      {IDC_RESTORE, "Res&taurar"}}},
};

void GiveEditorButtonsKeys(DialogTemplate& d) {
    for (const EditorButtonKeys& keys : kEditorButtonKeys) {
        if (keys.wLanguage != d.wLanguage) {
            continue;
        }
        for (auto& item : d.items) {
            for (const auto& [nId, pszText] : keys.texts) {
                if (item.nId == nId) {
                    item.strText = pszText;
                }
            }
        }
    }
}

// The other languages keep the English layout within their own dialog size: the control
// edges are scaled, so controls that touch in English still touch.
void FitToSize(DialogTemplate& d, int cxEnglish, int cyEnglish) {
    const double sx = static_cast<double>(d.cx) / cxEnglish;
    const double sy = static_cast<double>(d.cy) / cyEnglish;
    for (auto& item : d.items) {
        const int left = static_cast<int>(std::lround(item.x * sx));
        const int top = static_cast<int>(std::lround(item.y * sy));
        const int right = static_cast<int>(std::lround((item.x + item.cx) * sx));
        const int bottom = static_cast<int>(std::lround((item.y + item.cy) * sy));
        item.x = left;
        item.y = top;
        item.cx = right - left;
        item.cy = bottom - top;
    }
}

// ---- Template 1004: "Sailplan" ----

struct SailplanTexts {
    WORD wLanguage;
    const char* caption;
    const char* name;
    const char* bands;
    const char* minimum;
    const char* maximum;
    const char* interval;
    const char* tackingGroup;
    const char* tackingLabel;  // English only; the others label the group box instead
    const char* cancel;
};

DialogTemplate SailplanTemplate(const SailplanTexts& t) {
    // The longer group titles of the other languages need a wider dialog; the extra width goes
    // half to each group box.
    const int cx = t.tackingLabel != nullptr ? 212 : 262;
    const int e = (cx - 212) / 2;
    const int n = t.tackingLabel != nullptr ? 0 : 8;  // room for a longer name label
    DialogTemplate d{
        IDD_NEW_SAILPLAN, t.wLanguage, kDialogStyle, cx, 129, t.caption, "MS Sans Serif", 8, {}};
    auto& items = d.items;
    items.push_back(Static(IDC_STATIC, kLabel, 10, 15, 20 + n, 10, t.name));
    items.push_back(Edit(IDC_SAIL_PLAN_NAME, kEdit, 35 + n, 13, 90, 12));
    items.push_back(Button(IDC_STATIC, kGroupBox, 7, 34, 91 + e, 62, t.bands));
    items.push_back(Static(IDC_STATIC, kLabel, 13, 49, 31 + e, 8, t.minimum));
    items.push_back(Edit(IDC_BAND_MINIMUM, kEdit, 49 + e, 47, 40, 12));
    items.push_back(UpDown(IDC_BAND_MINIMUM_SPIN, 90 + e, 46, 6, 13));
    // 32 units, not 30: "Maximum" needs them in the dialog font.
    items.push_back(Static(IDC_STATIC, kLabel, 13, 63, 32 + e, 8, t.maximum));
    items.push_back(Edit(IDC_BAND_MAXIMUM, kEdit, 49 + e, 61, 40, 12));
    items.push_back(UpDown(IDC_BAND_MAXIMUM_SPIN, 89 + e, 60, 11, 13));
    items.push_back(Static(IDC_STATIC, kLabel, 13, 76, 28 + e, 9, t.interval));
    items.push_back(Edit(IDC_BAND_INTERVAL, kEdit, 49 + e, 75, 40, 12));
    items.push_back(UpDown(IDC_BAND_INTERVAL_SPIN, 88 + e, 76, 11, 13));
    items.push_back(Button(IDC_STATIC, kGroupBox, 103 + e, 34, 102 + e, 62, t.tackingGroup));
    if (t.tackingLabel != nullptr) {
        items.push_back(Static(IDC_STATIC, kLabel, 117, 47, 34, 21, t.tackingLabel));
    }
    items.push_back(Edit(IDC_SAIL_PLAN_TACKING_ANGLE, kEdit, 157 + 2 * e, 46, 40, 12));
    items.push_back(UpDown(IDC_SAIL_PLAN_TACKING_SPIN, 194 + 2 * e, 46, 11, 13));
    items.push_back(Button(IDOK, kDefPush, 47 + e, 108, 50, 14, "OK"));
    items.push_back(Button(IDCANCEL, kPush, 107 + e, 108, 50, 14, t.cancel));
    return d;
}

// ---- Template 1003: "Wind speed" ----

struct WindspeedTexts {
    WORD wLanguage;
    int cx;  // longer labels need a wider dialog
    const char* caption;
    const char* windSpeed;
    const char* tackingAngle;
    const char* cancel;
};

DialogTemplate WindspeedTemplate(const WindspeedTexts& t) {
    DialogTemplate d{IDD_NEW_WINDSPEED,
                     t.wLanguage,
                     kDialogStyle | WS_VISIBLE,
                     t.cx,
                     66,
                     t.caption,
                     "MS Sans Serif",
                     8,
                     {}};
    const int nExtra = t.cx - 137;  // the labels take the extra width, the edits move right
    auto& items = d.items;
    items.push_back(Button(IDOK, kDefPush, 15 + nExtra / 2, 45, 50, 14, "OK"));
    items.push_back(Button(IDCANCEL, kPush, 75 + nExtra / 2, 45, 50, 14, t.cancel));
    items.push_back(Edit(IDC_NEW_WIND_SPEED, kEdit, 90 + nExtra, 5, 25, 12));
    items.push_back(Static(IDC_STATIC, kLabel, 20, 8, 70 + nExtra, 10, t.windSpeed));
    items.push_back(Static(IDC_STATIC, kLabel, 20, 26, 70 + nExtra, 10, t.tackingAngle));
    items.push_back(Edit(IDC_NEW_WIND_SPEED_TACKING_ANGLE, kEdit, 90 + nExtra, 25, 25, 12));
    return d;
}

// ---- Template 1002: the cell editor ----

DialogTemplate EditCellTemplate() {
    DialogTemplate d{
        IDD_EDIT_CELL, LANG_ENGLISH_US, WS_POPUP | DS_SETFONT, 65, 15, "", "MS Sans Serif", 8, {}};
    d.items.push_back(Edit(IDC_CELL_EDIT, kVisible | WS_TABSTOP, 0, 0, 65, 15));
    return d;
}

std::vector<DialogTemplate> BuildTemplates() {
    std::vector<DialogTemplate> all;
    const EditorTexts english{LANG_ENGLISH_US,
                              413,
                              335,
                              "Polar Diagram",
                              "OK",
                              "Close",
                              "&Add",
                              "&Delete",
                              "Add",
                              "Delete",
                              "Tacking Angle",
                              "Wind Speed",
                              "Sail Plan",
                              "Save",
                              "Track curve",
                              "Show All",
                              "&Help",
                              "Smooth",
                              "Backup",
                              "Restore",
                              "Database",
                              {nullptr, nullptr, nullptr}};
    const EditorTexts others[] = {
        {LANG_GERMAN,
         407,
         325,
         "Polardiagramm",
         "OK",
         "Schließen",
         "&Hinzufügen",
         "&Löschen",
         "Hinzufügen",
         "Löschen",
         "Wendewinkel",
         "Windgeschwindigkeit",
         "Segelplan",
         "Speichern",
         "Kurve ablesen",
         "Alles anzeigen",
         "&Hilfe",
         "Glätten",
         "Sichern",
         "Wiederherstellen",
         "Datei",
         {"Peilung", "zu Wegpunkt", "Beste VMC"}},
        {LANG_FRENCH,
         413,
         340,
         "Polaire de vitesse",
         "OK",
         "Fermer",
         "&Ajouter",
         "&Supprimer",
         "Ajouter",
         "Supprimer",
         "Angle de remontée au près",
         "Vitesse vent réel",
         "Plan de voilure",
         "Enregistrer",
         "Lire la courbe",
         "Afficher tout",
         "A&ide",
         "Lisser",
         "Copie de secours",
         "Restaurer",
         "Fichier",
         {"Relèvement", "vers Wpt", "Meilleure VMC"}},
        {LANG_NORWEGIAN,
         413,
         340,
         "Polardiagram",
         "OK",
         "Lukk",
         "&Legg til",
         "&Fjern",
         "Legg til",
         "Fjern",
         "Kryssvinkel",
         "Vindhastighet",
         "Seilplan",
         "Lagre",
         "Følg kurven",
         "Vis alt",
         "&Hjelp",
         "Jevn ut",
         "Sikkerhetskopi",
         "Gjenopprett",
         "Fil",
         {"Peiling", "til Vpt", "Beste VMC"}},
        {LANG_SWEDISH,
         413,
         340,
         "Polardiagram",
         "OK",
         "Stäng",
         "&Lägg till",
         "&Ta bort",
         "Lägg till",
         "Ta bort",
         "Slagvinkel",
         "Vindhastighet",
         "Segelplan",
         "Spara",
         "Följ kurvan",
         "Visa alla",
         "&Hjälp",
         "Jämna ut",
         "Säkerhetskopiera",
         "Återställ",
         "Fil",
         {"Bäring", "till Wpt", "Bästa VMC"}},
        {LANG_SPANISH,
         407,
         327,
         "Diagrama polar",
         "Aceptar",
         "Cerrar",
         "&Añadir",
         "&Borrar",
         "Añadir",
         "Borrar",
         "Ángulo de virada",
         "Velocidad del viento",
         "Plan de velamen",
         "Guardar",
         "Leer curva",
         "Mostrar todo",
         "&Ayuda",
         "Suavizar",
         "Respaldar",
         "Restaurar",
         "Archivo",
         {"Demora", "a Wpt", "Mejor VMC"}},
    };
    all.push_back(EditorTemplate(english));
    GiveEditorButtonsKeys(all.back());
    for (const EditorTexts& t : others) {
        DialogTemplate d = EditorTemplate(t);
        GiveEditorButtonsKeys(d);
        // Longer texts: the tacking angle label may take two lines, "Show All" more width,
        // "Track curve" the room up to the hidden OK button, and "Backup" and "Restore" the
        // width of their group box.
        for (auto& item : d.items) {
            if (item.nId == IDC_STATIC && item.x == 317) {
                item.cy = 18;
            } else if (item.nId == IDC_SHOW_ALL) {
                item.cx = 64;
            } else if (item.nId == IDC_TRACK_CURVE) {
                item.x = 204;
                item.cx = 74;
            } else if (item.nId == IDC_BACKUP || item.nId == IDC_RESTORE) {
                item.x = 10;
                item.cx = 62;
            }
        }
        FitToSize(d, english.cx, english.cy);
        all.push_back(std::move(d));
    }

    const SailplanTexts sailplans[] = {
        {LANG_ENGLISH_US, "Sailplan", "Name", "Wind speed bands", "Minimum", "Maximum", "Interval",
         "Tacking angle", "Tacking Angle", "Cancel"},
        {LANG_GERMAN, "Segelplan", "Name", "Windgeschwindigkeiten", "Minimum", "Maximum",
         "Intervall", "Wendewinkel", nullptr, "Abbrechen"},
        {LANG_FRENCH, "Plan de voilure", "Nom", "Vitesses du vent", "Minimum", "Maximum",
         "Intervalle", "Angle de remontée au près", nullptr, "Annuler"},
        {LANG_NORWEGIAN, "Seilplan", "Navn", "Vindhastigheter", "Minimum", "Maksimum", "Intervall",
         "Kryssvinkel", nullptr, "Avbryt"},
        {LANG_SWEDISH, "Segelplan", "Namn", "Vindhastigheter", "Minimum", "Maximum", "Intervall",
         "Slagvinkel", nullptr, "Avbryt"},
        {LANG_SPANISH, "Plan de velamen", "Nombre", "Velocidades del viento", "Mínimo", "Máximo",
         "Intervalo", "Ángulo de virada", nullptr, "Cancelar"},
    };
    for (const SailplanTexts& t : sailplans) {
        all.push_back(SailplanTemplate(t));
    }

    const WindspeedTexts windspeeds[] = {
        {LANG_ENGLISH_US, 137, "Wind speed", "Wind Speed (kn)", "Tacking Angle", "Cancel"},
        {LANG_GERMAN, 175, "Windgeschwindigkeit", "Windgeschwindigkeit (kn)", "Wendewinkel",
         "Abbrechen"},
        {LANG_FRENCH, 175, "Vitesse du vent", "Vitesse du vent (nd)", "Angle de remontée au près",
         "Annuler"},
        {LANG_NORWEGIAN, 150, "Vindhastighet", "Vindhastighet (kn)", "Kryssvinkel", "Avbryt"},
        {LANG_SWEDISH, 150, "Vindhastighet", "Vindhastighet (kn)", "Slagvinkel", "Avbryt"},
        {LANG_SPANISH, 175, "Velocidad del viento", "Velocidad del viento (kn)", "Ángulo de virada",
         "Cancelar"},
    };
    for (const WindspeedTexts& t : windspeeds) {
        all.push_back(WindspeedTemplate(t));
    }
    all.push_back(EditCellTemplate());
    return all;
}

}  // namespace

const std::vector<DialogTemplate>& AllDialogTemplates() {
    static const std::vector<DialogTemplate> templates = BuildTemplates();
    return templates;
}
