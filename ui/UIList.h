#pragma once
// Lists and combo boxes. A CListUI is a scrolling column of list elements;
// a CComboUI holds the same elements and shows them in a pop-up. Elements:
// CListLabelElementUI (a text row) and CListContainerElementUI (a row that
// holds other controls). Notifications:
//   "itemselect"   sender: the list or combo; wParam the new index, lParam the old
//   "itemclick"    sender: the element, on the button's release
//   "itemactivate" sender: the element, on a double click (or Return)
//   "menu"         sender: the element or list that has menu="true"

#include "ui/UIButton.h"
#include "ui/UIContainer.h"

namespace ui {

class CListUI;
class ComboPopup;

struct TListInfoUI {
  int font = -1;
  uint32_t textColor = 0;
  uint32_t bkColor = 0;
  uint32_t selectedTextColor = 0;
  uint32_t selectedBkColor = 0;
  uint32_t hotTextColor = 0;
  uint32_t hotBkColor = 0;
  uint32_t disabledTextColor = 0;
  QMargins textPadding{8, 0, 8, 0};
  int textStyle = Qt::AlignLeft | Qt::AlignVCenter;
  bool multiSelect = false;
};

// What a list element needs of its list or combo.
class IListOwnerUI {
 public:
  virtual ~IListOwnerUI() = default;
  virtual TListInfoUI* GetListInfo() = 0;
  virtual int GetCurSel() const = 0;
  virtual bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) = 0;
  virtual bool SelectMultiItem(int index, bool takeFocus = false) = 0;
  virtual void DoEvent(TEventUI& event) = 0;
  virtual CControlUI* OwnerControl() = 0;
};

// The element side, shared by the two element classes.
class IListItemUI {
 public:
  virtual ~IListItemUI() = default;
  int GetIndex() const { return index_; }
  void SetIndex(int index) { index_ = index; }
  IListOwnerUI* GetOwner() const { return owner_; }
  void SetOwner(IListOwnerUI* owner) { owner_ = owner; }
  bool IsSelected() const { return selected_; }
  // Changes the flag and tells the owner (which sends "itemselect").
  virtual bool Select(bool select = true, bool triggerEvent = true) = 0;
  virtual bool SelectMulti(bool select = true) = 0;
  // Sets the flag only (used by the owner).
  void SetSelectedFlag(bool select) { selected_ = select; }
  virtual CControlUI* ItemControl() = 0;

 protected:
  // The element behaviour shared by both classes. HandleItemEvent is true
  // when it handled the event.
  bool HandleItemEvent(CControlUI* self, TEventUI& event);
  bool ApplySelect(CControlUI* self, bool select, bool triggerEvent, bool multi);
  bool ActivateItem(CControlUI* self);
  int index_ = -1;
  IListOwnerUI* owner_ = nullptr;
  bool selected_ = false;
};

class CListLabelElementUI : public CLabelUI, public IListItemUI {
  Q_OBJECT
 public:
  CListLabelElementUI();
  QString GetClass() const override { return QStringLiteral("ListLabelElement"); }
  bool IsClass(const QString& className) const override;
  void SetAttribute(const QString& name, const QString& value) override;
  bool Select(bool select = true, bool triggerEvent = true) override;
  bool SelectMulti(bool select = true) override;
  CControlUI* ItemControl() override { return this; }
  bool Activate() override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintText(QPainter& painter) override;
  QSize EstimateSize(QSize available) const override;
};

class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
  Q_OBJECT
 public:
  CListContainerElementUI();
  QString GetClass() const override { return QStringLiteral("ListContainerElement"); }
  bool IsClass(const QString& className) const override;
  void SetAttribute(const QString& name, const QString& value) override;
  bool Select(bool select = true, bool triggerEvent = true) override;
  bool SelectMulti(bool select = true) override;
  CControlUI* ItemControl() override { return this; }
  bool Activate() override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(QPainter& painter) override;
  QSize EstimateSize(QSize available) const override;
};

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
  Q_OBJECT
 public:
  CListUI();
  QString GetClass() const override { return QStringLiteral("List"); }
  bool IsClass(const QString& className) const override;

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool keep = false) override;
  void RemoveAll() override;
  void ItemGone(int index) override;

  TListInfoUI* GetListInfo() override { return &info_; }
  int GetCurSel() const override { return curSel_; }
  bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) override;
  bool SelectMultiItem(int index, bool takeFocus = false) override;
  void SetMultiSelect(bool on) { info_.multiSelect = on; }
  std::vector<int> GetSelectedItems() const;
  void UnSelectAllItems();
  void DoEvent(TEventUI& event) override;
  CControlUI* OwnerControl() override { return this; }
  void EnsureVisible(int index);

  void SetAttribute(const QString& name, const QString& value) override;

 private:
  void Reindex();
  TListInfoUI info_;
  int curSel_ = -1;
};

class CComboUI : public CContainerUI, public IListOwnerUI {
  Q_OBJECT
 public:
  CComboUI();
  ~CComboUI() override;
  QString GetClass() const override { return QStringLiteral("Combo"); }
  bool IsClass(const QString& className) const override;

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool keep = false) override;
  void RemoveAll() override;
  void ItemGone(int index) override;

  QString GetText() const override;  // the selected item's text
  TListInfoUI* GetListInfo() override { return &info_; }
  int GetCurSel() const override { return curSel_; }
  bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) override;
  bool SelectMultiItem(int index, bool takeFocus = false) override { return SelectItem(index, takeFocus); }
  void DoEvent(TEventUI& event) override;
  CControlUI* OwnerControl() override { return this; }
  bool Activate() override;  // opens the pop-up
  void ClosePopup();
  QWidget* GetPopup() const;
  int GetDropBoxHeight() const { return dropHeight_; }
  // The open (or last) drop-down; keys go there while it is open. A list
  // longer than the drop-down scrolls, with a thumb at its right edge.
  QWidget* GetDropWindow() const;

  void SetAttribute(const QString& name, const QString& value) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;
  void PaintBorder(QPainter& painter) override;

 protected:
  void LayoutChildren() override;  // items are shown only in the pop-up

 private:
  void Reindex();
  TListInfoUI info_;
  int curSel_ = -1;
  int dropHeight_ = 240;
  QString normalImage_, hotImage_, pushedImage_, disabledImage_;
  QMargins comboTextPadding_{10, 0, 28, 0};
  int comboFont_ = -1;
  uint32_t comboTextColor_ = 0;
  ComboPopup* popup_ = nullptr;  // top-level pop-up, owned through Qt parenthood
};

}  // namespace ui
