#pragma once
// CHandImgSelectButtonUI ("HandImgSelectButton"): a picture larger than the
// control, of which the control shows a control-sized part; dragging with
// the button held pans that part so the picture follows the pointer.
//
// The part shown is the source rectangle (image pixels, one image pixel per
// window pixel). It starts at the image's top-left corner and never leaves
// the image: panning stops at the origin and at the image's far edges. A
// picture no larger than the control is shown whole and does not pan. The
// shown image description is rebuilt when the hand image is set, when the
// control's size changes (which also brings the part back to the origin)
// and on every pan step. The control never sends "click"; entering and
// leaving send "msenter" and "msleave".
//
// Attributes of its own: "handimage" (image description; names without
// regard to case). "cursor" is the base layer's (system cursor names).

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "controls/CPictureButtonUI.h"

namespace controls {

class CHandImgSelectButtonUI : public CPictureButtonUI {
  Q_OBJECT
 public:
  CHandImgSelectButtonUI();
  QString GetClass() const override { return QStringLiteral("HandImgSelectButton"); }
  bool IsClass(const QString& className) const override;
  void SetAttribute(const QString& name, const QString& value) override;

  QString GetHandImage() const { return handImage_; }
  void SetHandImage(const QString& image);
  // The image description drawn over the control.
  QString ShownImage() const { return shownImage_; }
  // The part of the picture shown: left, top, right, bottom in image pixels
  // (right and bottom exclusive).
  QRect SourceRect() const { return QRect(QPoint(srcLeft_, srcTop_), QPoint(srcRight_ - 1, srcBottom_ - 1)); }
  QSize ImageSize() const { return imageSize_; }

  void SetPos(const QRect& windowRect) override;
  void DoEvent(ui::TEventUI& event) override;
  void PaintStatusImage(QPainter& painter) override;

 private:
  void Recompute();
  void Pan(QPoint to);

  QString handImage_;
  QString shownImage_;
  QSize imageSize_;
  int srcLeft_ = 0, srcTop_ = 0, srcRight_ = 0, srcBottom_ = 0;
  QPoint last_;
  bool pressed_ = false;
};

}  // namespace controls

using controls::CHandImgSelectButtonUI;
