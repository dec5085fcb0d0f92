#pragma once

#include "framework/dialog.h"

// A dialog that exchanges one angle, 0 to 180 degrees, with one of its edits, as the editor
// does with its tacking angle.
class AngleDialog : public CDialog {
  public:
    AngleDialog(const DialogTemplate* pTemplate, int nEditId, CWnd* pParent = nullptr)
        : CDialog(pTemplate, pParent), m_nEditId(nEditId) {}
    float m_fAngle = 45.0f;

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, m_nEditId, m_fAngle);
        DDV_MinMaxFloat(pDX, m_fAngle, 0.0f, 180.0f);
    }

  private:
    int m_nEditId;
};
