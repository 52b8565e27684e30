#pragma once
// Menu windows built from a menu layout:
//   <Menu width="180"> <MenuElement name="about_menu" text="tray_about"/>
//                      <MenuElement line="true"/> ... </Menu>
// (optionally inside <Window>). Choosing an element closes the menu and
// posts the owner the menu message (1145) whose wParam is a token for the
// command record; the owner takes the record with CMenuWnd::TakeCommand
// (each record is taken once; untaken ones are dropped after 64 newer).
// A menu taller than the screen's work area is cut to it and scrolls; it is
// kept on the screen. Keys: Up and Down move the highlight over the
// elements that can be chosen, Enter chooses, Escape closes.

#include <memory>
#include <optional>

#include <QPoint>
#include <QString>

#include "platform/MessageTarget.h"
#include "ui/UIList.h"
#include "ui/UIManager.h"

class QWidget;

namespace ui {

class CWindowWnd;
class MenuHost;

struct MenuCmd {
  QString szName;      // the element's name
  QString szUserData;  // the element's user data
  QString szText;      // the element's shown text
  bool bChecked = false;
};

class CMenuUI : public CListUI {
  Q_OBJECT
 public:
  CMenuUI();
  QString GetClass() const override { return QStringLiteral("Menu"); }
  bool IsClass(const QString& className) const override;
};

class CMenuElementUI : public CListLabelElementUI {
  Q_OBJECT
 public:
  CMenuElementUI();
  QString GetClass() const override { return QStringLiteral("MenuElement"); }
  bool IsClass(const QString& className) const override;
  bool IsLine() const { return line_; }
  bool IsChecked() const { return checked_; }
  void SetChecked(bool on) { checked_ = on; Invalidate(); }
  void SetAttribute(const QString& name, const QString& value) override;
  void DoEvent(TEventUI& event) override;
  void PaintText(QPainter& painter) override;
  void PaintBkColor(QPainter& painter) override;
  QSize EstimateSize(QSize available) const override;

 private:
  bool line_ = false;
  bool checked_ = false;
};

class CMenuWnd : public INotifyUI {
 public:
  CMenuWnd();
  ~CMenuWnd() override;
  CMenuWnd(const CMenuWnd&) = delete;
  CMenuWnd& operator=(const CMenuWnd&) = delete;

  // Builds `layout` and shows it at `screenPoint` (kept on the screen).
  // Returns false (traced) when the layout cannot be built.
  bool Init(platform::MessageTarget* owner, const QString& layout, QPoint screenPoint);
  bool Init(CWindowWnd* owner, const QString& layout, QPoint screenPoint);
  void Close();
  bool IsOpen() const;
  QWidget* GetHWND() const;
  CPaintManagerUI* GetManager() const;
  // Chooses an element as a click would.
  bool Choose(const QString& elementName);
  // A key pressed in the open menu.
  void OnKey(int key);

  static std::optional<MenuCmd> TakeCommand(uint64_t token);

  void Notify(TNotifyUI& msg) override;

 private:
  CMenuUI* Root() const;
  static bool IsChoosable(const CControlUI* control);
  void ChooseElement(CMenuElementUI* element);

  platform::MessageTarget* owner_ = nullptr;
  CPaintManagerUI* manager_ = nullptr;  // the host's
  std::unique_ptr<MenuHost> host_;
};

}  // namespace ui
