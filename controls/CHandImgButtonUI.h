#pragma once
// CHandImgButtonUI ("HandImgButton"): a button showing a picture (the hand
// image) over its own look, with an optional delete handle in its
// bottom-right corner.
//
// The handle is a 20 x 20 square whose left edge lies 30 and whose top edge
// 29 (96-DPI) pixels inside the control's right and bottom edges. It is
// drawn only while the control is hot and deletable; a release inside it
// then sends "click_handdelete" instead of "click". A control starts not
// deletable (SetDeletable turns the handle on). Entering and leaving send
// "msenter" and "msleave".
//
// Attributes of its own (names without regard to case): "handimage",
// "deletenormalimage", "deletehotimage".

#include <QRect>
#include <QString>

#include "controls/CPictureButtonUI.h"

namespace controls {

class CHandImgButtonUI : public CPictureButtonUI {
  Q_OBJECT
 public:
  CHandImgButtonUI();
  QString GetClass() const override { return QStringLiteral("HandImgButton"); }
  bool IsClass(const QString& className) const override;
  void SetAttribute(const QString& name, const QString& value) override;

  QString GetHandImage() const { return handImage_; }
  void SetHandImage(const QString& image);
  void SetDeleteImages(const QString& normal, const QString& hot);
  // The delete image drawn now: the hot one while the pointer is over the
  // handle.
  QString CurrentDeleteImage() const { return currentDelete_; }
  bool IsDeletable() const { return !notDeletable_; }
  void SetDeletable(bool deletable);

  // The handle in window coordinates, scaled by the window's DPI.
  QRect DeleteHandleRect() const;

  void DoEvent(ui::TEventUI& event) override;
  void PaintStatusImage(QPainter& painter) override;

 private:
  QString handImage_;
  QString deleteNormal_, deleteHot_, currentDelete_;
  bool notDeletable_ = true;
};

}  // namespace controls

using controls::CHandImgButtonUI;
