#pragma once
// CSelectPanelUI: the column that holds the caps of a device picture and
// selects them with a rectangle dragged over it.
//
// idle --press (panel enabled)--> armed --first move--> dragging
//   --release--> idle: every direct child whose class is "DeviceKeyButton"
//   is selected when its rectangle and the dragged one share a pixel, and
//   deselected otherwise; then "click_select_end" is sent.
// A release while armed but not yet dragging returns to idle silently.
//
// The dragged rectangle spans the press point and the current point with
// the right and bottom edges excluded, so a drag that stops on a cap's
// first column or row does not reach it and a purely horizontal or vertical
// drag selects nothing. Caps nested in a further container are never
// touched; hidden caps are deselected (a hidden cap keeps a stale or never
// laid-out rectangle that the user could not have dragged over).
//
// The press must land on the panel itself or on a child that passes mouse
// input up (a picture or label); a press on a cap is the cap's own. The
// panel draws no rubber band; its painting is the container's.

#include <QPoint>
#include <QRect>

#include "ui/UIContainer.h"

namespace controls {

class CSelectPanelUI : public ui::CVerticalLayoutUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("SelectPanel"); }
  bool IsClass(const QString& className) const override;
  void DoEvent(ui::TEventUI& event) override;

  bool IsArmed() const { return armed_; }
  bool IsDragging() const { return dragging_; }
  QPoint GetAnchor() const { return anchor_; }
  QPoint GetCurrent() const { return current_; }
  // The last dragged rectangle, window coordinates; empty when a side has
  // zero length.
  QRect GetSelectRect() const { return selectRect_; }

  // The rectangle spanned by two points, normalised, right and bottom
  // edges excluded.
  static QRect SpanRect(QPoint a, QPoint b);

 private:
  void EndDrag();

  bool armed_ = false;
  bool dragging_ = false;
  QPoint anchor_;
  QPoint current_;
  QRect selectRect_;
};

}  // namespace controls

// The page and factory code names the class without its namespace.
using controls::CSelectPanelUI;
