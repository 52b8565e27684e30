#pragma once
// CWndUI ("Wnd"): keeps a hosted widget on the control's rectangle.
//
// Whoever owns the control hands it a widget (SetHostedWidget; the control
// does not own it and forgets it when it is destroyed). After every
// placement and every change of the control's visibility the widget is
// moved onto the control's rectangle, in the coordinates of the widget's
// parent: a child of the control's window gets window coordinates, a child
// elsewhere in the window the same place in its parent's coordinates, a
// top-level widget the place on the screen. It is shown while the control
// is shown, hidden otherwise.

#include <QPointer>
#include <QWidget>

#include "ui/UIControl.h"

namespace controls {

class CWndUI : public ui::CControlUI {
  Q_OBJECT
 public:
  CWndUI();
  QString GetClass() const override { return QStringLiteral("Wnd"); }
  bool IsClass(const QString& className) const override;

  void SetHostedWidget(QWidget* widget);
  QWidget* HostedWidget() const { return hosted_; }

  void SetPos(const QRect& windowRect) override;
  void SetVisible(bool visible = true) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Follow();

  QPointer<QWidget> hosted_;
};

}  // namespace controls

using controls::CWndUI;
