#pragma once
// Containers: CContainerUI (every child fills it), CVerticalLayoutUI and
// CHorizontalLayoutUI (children in a column or row: fixed sizes first, the
// rest shared), CTabLayoutUI (one child shown at a time). Children given
// float="true" sit at their "pos" relative to the container.

#include <vector>

#include "ui/UIControl.h"

namespace ui {

class ScrollBarOverlay;

class CContainerUI : public CControlUI {
  Q_OBJECT
 public:
  CContainerUI();
  ~CContainerUI() override;
  QString GetClass() const override { return QStringLiteral("Container"); }
  bool IsClass(const QString& className) const override;

  // Children; a removed child is destroyed (on the next turn of the event
  // loop, so a control may be removed from its own event handler) unless
  // `keep` is true (it is then the caller's, unparented). Adding a child of
  // another container moves it.
  virtual bool Add(CControlUI* control);
  virtual bool AddAt(CControlUI* control, int index);
  virtual bool Remove(CControlUI* control, bool keep = false);
  virtual bool RemoveAt(int index, bool keep = false);
  virtual void RemoveAll();
  int GetCount() const { return int(items_.size()); }
  CControlUI* GetItemAt(int index) const;
  int GetItemIndex(CControlUI* control) const;
  bool SetItemIndex(CControlUI* control, int index);

  QMargins GetInset() const { return inset_; }
  void SetInset(const QMargins& inset);
  int GetChildPadding() const { return childPadding_; }
  void SetChildPadding(int padding);
  void EnableScrollBar(bool vertical);
  int GetScrollPos() const { return scrollPos_; }
  void SetScrollPos(int pos);
  int GetScrollRange() const { return scrollRange_; }

  // A child destroyed without Remove leaves the container here (from the
  // child's destructor; the child must not be touched).
  void ForgetItem(CControlUI* control);

  // First control of the subtree (this one excluded) with that name.
  CControlUI* FindSubControl(const QString& name) const;

  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void DoEvent(TEventUI& event) override;
  void ReloadText() override;

  // Lays the children out on the next turn of the event loop (coalesced).
  void RequestLayout();
  // Lays the children out now.
  void LayoutNow();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  virtual void LayoutChildren();
  // The item that was at `index` is gone (removed or destroyed): selections
  // keep pointing at the same item.
  virtual void ItemGone(int index) { Q_UNUSED(index); }
  QRect ContentRect() const;  // window coordinates, inset applied
  void PlaceFloat(CControlUI* child, const QRect& rc);
  void SetScrollRange(int range);

  std::vector<CControlUI*> items_;  // owned through Qt parenthood
  QMargins inset_;
  int childPadding_ = 0;
  int childAlign_ = 0;   // horizontal placement of narrower children: 0 left/top, 1 centre, 2 right/bottom
  int childVAlign_ = 0;
  bool layoutPending_ = false;
  bool vscroll_ = false;
  int scrollPos_ = 0;
  int scrollRange_ = 0;
  ScrollBarOverlay* scrollBar_ = nullptr;  // child widget, Qt-owned
};

class CVerticalLayoutUI : public CContainerUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("VerticalLayout"); }

 protected:
  void LayoutChildren() override;
};

class CHorizontalLayoutUI : public CContainerUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("HorizontalLayout"); }

 protected:
  void LayoutChildren() override;
};

// Children in a grid, row by row: "columns" per row (default 1), or as
// many as fit when "itemsize" gives the cell size; a cell is as tall as its
// child's fixed height or the item size. Scrolls vertically with
// vscrollbar="true".
class CTileLayoutUI : public CContainerUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("TileLayout"); }
  int GetColumns() const { return columns_; }
  void SetColumns(int columns);
  QSize GetItemSize() const { return itemSize_; }
  void SetItemSize(QSize size);
  void SetAttribute(const QString& name, const QString& value) override;

 protected:
  void LayoutChildren() override;

 private:
  int columns_ = 1;
  QSize itemSize_;  // 96-DPI; empty = share the width among the columns
};

class CTabLayoutUI : public CContainerUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("TabLayout"); }
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool keep = false) override;
  void RemoveAll() override;
  int GetCurSel() const { return curSel_; }
  virtual bool SelectItem(int index);
  bool SelectItem(CControlUI* control);
  void SetAttribute(const QString& name, const QString& value) override;
  void DoInit() override;

 protected:
  void LayoutChildren() override;
  void ItemGone(int index) override;

 private:
  void ShowSelected();
  int curSel_ = -1;
  int initialSel_ = -1;  // "selectedid" until the children are built
};

}  // namespace ui
