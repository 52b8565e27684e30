#include "controls/CWndUI.h"

#include "ui/UIManager.h"

namespace controls {

CWndUI::CWndUI() = default;

bool CWndUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("Wnd"), Qt::CaseInsensitive) == 0 || ui::CControlUI::IsClass(className);
}

void CWndUI::SetHostedWidget(QWidget* widget) {
  hosted_ = widget;
  Follow();
}

void CWndUI::SetPos(const QRect& windowRect) {
  ui::CControlUI::SetPos(windowRect);
  Follow();
}

void CWndUI::SetVisible(bool visible) {
  ui::CControlUI::SetVisible(visible);
  Follow();
}

// Showing or hiding the control, by itself or with an ancestor (a tab page
// changing, the parent's internal visibility), arrives here.
void CWndUI::showEvent(QShowEvent* event) {
  ui::CControlUI::showEvent(event);
  Follow();
}

void CWndUI::hideEvent(QHideEvent* event) {
  ui::CControlUI::hideEvent(event);
  Follow();
}

void CWndUI::Follow() {
  if (!hosted_) return;
  QWidget* paintWindow = window();
  if (manager_) {
    QRect rc = GetPos();
    QWidget* parent = hosted_->parentWidget();
    if (hosted_->isWindow()) rc.moveTopLeft(paintWindow->mapToGlobal(rc.topLeft()));
    else if (parent && parent != paintWindow) rc.moveTopLeft(parent->mapFrom(paintWindow, rc.topLeft()));
    hosted_->setGeometry(rc);
  }
  const bool shown = IsVisible() && IsInternVisible() && isVisibleTo(paintWindow);
  hosted_->setVisible(shown);
}

}  // namespace controls
