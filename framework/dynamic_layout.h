#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

// How the controls of a resizable dialog follow its size. Each control moves by a share of the
// growth (0 stays with the top or left edge, 100 with the bottom or right, 50 stays centred)
// and grows by a share of it; the growth is measured from the size the layout was made at.
class DynamicLayout {
  public:
    struct Share {
        int nX = 0;  // percent of the growth in width
        int nY = 0;  // percent of the growth in height
    };

    // The dialog's client size now is the size every control's place is relative to.
    void Start(const QWidget* pDialog);
    void Add(QWidget* pControl, Share move, Share grow);
    // Places every control for a client area of this size.
    void Resize(int cx, int cy) const;

  private:
    struct Item {
        QPointer<QWidget> pControl;
        QRect start;
        Share move;
        Share grow;
    };
    QSize m_start;
    std::vector<Item> m_items;
};
