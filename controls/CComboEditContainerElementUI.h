#pragma once
// CComboEditContainerElementUI ("ComboEditContainerElement"): a list row
// whose content is built from its own layout,
// "XML\\CustomControlXML\\ComboEditElementItem.xml", when the row is
// initialised; it keeps the row's "text1", "text2" and "delay_edit",
// looked up inside the row itself (so many rows in one window each find
// their own).
//
// Events: while the row takes no mouse input its mouse events go to the
// list; a double click activates ("itemactivate"); Return activates and
// sends "return"; a press selects the row (with Ctrl: toggles it in a
// multiple selection); a release sends "itemclick"; timers send "timer",
// a context request "menu" when the row uses one (both with the event's
// parameters); other events go to the list.
//
// Attributes (names compared with case): "normalimage", "hotimage" and
// "selectedimage" are ignored; the rest are the container's.

#include <QPointer>

#include "ui/UIList.h"

namespace controls {

inline constexpr const char* kComboEditElementLayout = "XML\\CustomControlXML\\ComboEditElementItem.xml";

class CComboEditContainerElementUI : public ui::CListContainerElementUI, public ui::INotifyUI {
  Q_OBJECT
 public:
  CComboEditContainerElementUI();
  QString GetClass() const override { return QStringLiteral("ComboEditContainerElement"); }
  bool IsClass(const QString& className) const override;
  void SetAttribute(const QString& name, const QString& value) override;

  void DoInit() override;
  void DoEvent(ui::TEventUI& event) override;
  void Notify(ui::TNotifyUI&) override {}

  ui::CControlUI* Text1() const { return text1_; }
  ui::CControlUI* Text2() const { return text2_; }
  ui::CControlUI* DelayEdit() const { return delayEdit_; }

 private:
  void ToOwner(ui::TEventUI& event, bool control);

  QPointer<ui::CControlUI> text1_, text2_, delayEdit_;
};

}  // namespace controls

using controls::CComboEditContainerElementUI;
