#pragma once

#include <QFont>
#include <functional>
#include <string>
#include <string_view>

#include "framework/controls.h"
#include "framework/dialog_template.h"
#include "framework/wnd.h"

class QEventLoop;

// The dialog font's base units, from which dialog units become pixels.
struct DialogBaseUnits {
    int cx;
    int cy;
};
QFont DialogFont(const DialogTemplate& dialogTemplate);
// Sets the font on the window and on every widget in it (a combo box's list included).
void ApplyDialogFont(QWidget* pRoot, const QFont& font);
DialogBaseUnits BaseUnitsOf(const QFont& font);
// Pixels of a dialog-unit coordinate along x and y (the platform's MulDiv rounding).
int DialogUnitsToPixelsX(int nUnits, DialogBaseUnits units);
int DialogUnitsToPixelsY(int nUnits, DialogBaseUnits units);

class CDataExchange;

// A dialog built from a template: modeless through CreateIndirect, modal through DoModal.
// Enter runs OnOK, Esc and the close box OnCancel.
class CDialog : public CWnd {
    DECLARE_MESSAGE_MAP()

  public:
    explicit CDialog(const DialogTemplate* pTemplate = nullptr, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    BOOL CreateIndirect(const DialogTemplate* pTemplate, CWnd* pParentWnd = nullptr);
    int DoModal();
    void EndDialog(int nResult);
    // Moves data between the members and the controls; false (after telling the user) when a
    // value did not pass validation.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void GotoDlgCtrl(CWnd* pWnd);
    // A key sequence ("Ctrl+Z") that sends the dialog WM_COMMAND with this id, as an
    // accelerator does; in an edit field (a combo box's included) the field keeps the keys.
    void AddAccelerator(const char* pszKeys, int nCommandId);
    const DialogTemplate* GetTemplate() const { return m_pTemplate; }
    DialogBaseUnits BaseUnits() const { return m_baseUnits; }

    // Tests answer modal dialogs through this hook: it is called, deferred, once a modal
    // dialog runs.
    static void SetModalHook(std::function<void(CDialog*)> hook);
    // Ends with IDCANCEL every modal dialog running whose owner is the window or lies in it.
    static void CancelModalDialogsOf(QWidget* pWindow);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

  protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnInitDialogMessage(WPARAM wParam, LPARAM lParam);

    const DialogTemplate* m_pTemplate;
    CWnd* m_pParentWnd;

  private:
    void Build(QWidget* pParent, bool bEmbedded);
    // Sends WM_INITDIALOG and sets the initial focus as its answer asks.
    void InitDialog();

    bool m_bModal = false;
    bool m_bEnded = false;
    int m_nModalResult = IDCANCEL;
    QEventLoop* m_pLoop = nullptr;
    DialogBaseUnits m_baseUnits{6, 12};
};

// The context of one data exchange.
class CDataExchange {
  public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;

    HWND PrepareCtrl(int nId);
    HWND PrepareEditCtrl(int nId);
    // Puts the focus back on the control that failed and abandons the exchange.
    [[noreturn]] void Fail();
};

void DDX_Control(CDataExchange* pDX, int nId, CWnd& rControl);
void DDX_Text(CDataExchange* pDX, int nId, float& value);
void DDX_Text(CDataExchange* pDX, int nId, std::string& value);
void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal);
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars);

// A float as the dialog shows it: printf "%g" (six significant digits), "." as the point.
std::string FormatDialogFloat(double dValue);
// Whether a number typed by the user may be written with a decimal comma, as the interface
// language writes it ("7,5" for 7.5). A point is read either way; numbers shown keep the point.
// Off by default; returns the setting before.
bool SetDecimalComma(bool bAccepted);
bool DecimalCommaAccepted();
// The typed text as the number readers take it: while the decimal comma is accepted, every
// comma is read as a point; otherwise the text is unchanged.
std::string WithDecimalPoint(std::string_view text);
// The dialog's strict reading of a number: blanks or tabs, an optional sign, digits with an
// optional point (or decimal comma, see SetDecimalComma), an optional exponent with digits,
// blanks or tabs; a value of zero must start with the digit 0. False for anything else.
bool ParseDialogFloat(std::string_view typed, double& dValue);
