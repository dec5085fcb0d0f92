#pragma once

#include <string>

class CListCtrl;
class CComboBox;
class CButton;
class CWnd;

// What the diagram needs of the dialog that owns it: the controls it reads or changes, the
// window whose caption carries the read-out, and the command that adds a point.
class IGraphOwner {
  public:
    virtual ~IGraphOwner() = default;
    virtual CListCtrl& GraphPointList() = 0;
    virtual CComboBox& GraphWindSpeedCombo() = 0;
    virtual CButton& GraphTrackCurveCheck() = 0;
    virtual CButton& GraphShowAllCheck() = 0;
    virtual void InsertVectorAt(float fAngle, float fSpeed) = 0;
    // A drag of a point ended (the button was released after the point moved).
    virtual void GraphEditEnded() {}
    // The angle and speed under the mouse for the caption, empty when the mouse left the
    // diagram. False: the diagram writes its frame's caption itself.
    virtual bool ShowGraphReadout(const std::string& /*strReadout*/) { return false; }
};
