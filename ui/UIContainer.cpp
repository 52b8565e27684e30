#include "ui/UIContainer.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace ui {

// A thin scroll thumb drawn over a scrolling container, at its right edge
// (vertical) or its bottom edge (horizontal); dragging it scrolls.
class ScrollBarOverlay : public QWidget {
 public:
  ScrollBarOverlay(CContainerUI* owner, bool vertical) : QWidget(owner), owner_(owner), vertical_(vertical) {}

  void Place() {
    const int w = 6;
    if (vertical_) setGeometry(owner_->width() - w - 2, 0, w, owner_->height());
    else setGeometry(0, owner_->height() - w - 2, owner_->width(), w);
    raise();
    setVisible(Range() > 0);
    update();
  }

 protected:
  int Range() const { return vertical_ ? owner_->GetScrollRange() : owner_->GetHScrollRange(); }
  int Pos() const { return vertical_ ? owner_->GetScrollPos() : owner_->GetHScrollPos(); }
  int Length() const { return vertical_ ? height() : width(); }
  QRect Thumb() const {
    const int range = Range();
    const int len = Length();
    if (range <= 0 || len <= 0) return {};
    const int thumb = std::max(24, len * len / (len + range));
    const int at = (len - thumb) * Pos() / range;
    return vertical_ ? QRect(0, at, width(), thumb) : QRect(at, 0, thumb, height());
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(theme::kBorder));
    p.drawRoundedRect(QRectF(Thumb()), 3, 3);
  }
  int Along(QMouseEvent* e) const { return int(vertical_ ? e->position().y() : e->position().x()); }
  void mousePressEvent(QMouseEvent* e) override { last_ = Along(e); }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (!(e->buttons() & Qt::LeftButton)) return;
    const int at = Along(e);
    const QRect thumb = Thumb();
    const int travel = Length() - (vertical_ ? thumb.height() : thumb.width());
    if (travel > 0) {
      const int pos = Pos() + (at - last_) * Range() / travel;
      if (vertical_) owner_->SetScrollPos(pos);
      else owner_->SetHScrollPos(pos);
    }
    last_ = at;
  }

 private:
  CContainerUI* owner_;
  bool vertical_;
  int last_ = 0;
};

CContainerUI::CContainerUI() = default;
CContainerUI::~CContainerUI() {
  // The children die after this object (with the QWidget): they must not
  // reach back into it.
  for (CControlUI* c : items_) c->parent_ = nullptr;
  items_.clear();
}

void CContainerUI::ForgetItem(CControlUI* control) {
  auto it = std::find(items_.begin(), items_.end(), control);
  if (it == items_.end()) return;
  const int index = int(it - items_.begin());
  items_.erase(it);
  ItemGone(index);
  RequestLayout();
}

bool CContainerUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("Container"), Qt::CaseInsensitive) == 0 ||
         CControlUI::IsClass(className);
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, int(items_.size())); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control || index < 0 || index > int(items_.size())) return false;
  if (std::find(items_.begin(), items_.end(), control) != items_.end()) return false;
  // A control moved from another container leaves it first.
  if (auto* old = qobject_cast<CContainerUI*>(control->GetParent()); old && old != this)
    old->Remove(control, /*keep=*/true);
  control->setParent(this);
  items_.insert(items_.begin() + index, control);
  if (manager_) manager_->InitControls(control, this);
  else control->SetManager(nullptr, this, false);
  control->SetInternVisible(control->IsInternVisible());
  if (scrollBar_) scrollBar_->raise();
  if (hScrollBar_) hScrollBar_->raise();
  RequestLayout();
  return true;
}

bool CContainerUI::Remove(CControlUI* control, bool keep) {
  auto it = std::find(items_.begin(), items_.end(), control);
  if (it == items_.end()) return false;
  items_.erase(it);
  control->DisarmAllTimers();
  control->hide();
  control->setParent(nullptr);
  // Out of the tree it has no window: a layout or timer still queued for it
  // (it is destroyed later, possibly after its window) must not reach the
  // window's manager. Adding it again gives it the new container's manager.
  control->SetManager(nullptr, nullptr, false);
  // Removal can come from the control's own event handler: destroy later.
  if (!keep) control->deleteLater();
  RequestLayout();
  return true;
}

bool CContainerUI::RemoveAt(int index, bool keep) {
  CControlUI* c = GetItemAt(index);
  return c && Remove(c, keep);
}

void CContainerUI::RemoveAll() {
  while (!items_.empty()) Remove(items_.back());
  scrollPos_ = 0;
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  return index >= 0 && index < int(items_.size()) ? items_[size_t(index)] : nullptr;
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  auto it = std::find(items_.begin(), items_.end(), control);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  const int from = GetItemIndex(control);
  if (from < 0 || index < 0 || index >= int(items_.size())) return false;
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + index, control);
  RequestLayout();
  return true;
}

void CContainerUI::SetInset(const QMargins& inset) {
  inset_ = inset;
  RequestLayout();
}

void CContainerUI::SetChildPadding(int padding) {
  childPadding_ = padding;
  RequestLayout();
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
  vscroll_ = vertical;
  hscroll_ = horizontal;
  if (vertical && !scrollBar_) scrollBar_ = new ScrollBarOverlay(this, true);  // Qt-owned child
  if (horizontal && !hScrollBar_) hScrollBar_ = new ScrollBarOverlay(this, false);  // Qt-owned child
  RequestLayout();
}

void CContainerUI::SetHScrollPos(int pos) {
  const int clamped = std::clamp(pos, 0, std::max(0, hScrollRange_));
  if (clamped == hScrollPos_) return;
  hScrollPos_ = clamped;
  LayoutNow();
}

void CContainerUI::SetHScrollRange(int range) {
  hScrollRange_ = hscroll_ ? std::max(0, range) : 0;
  hScrollPos_ = std::clamp(hScrollPos_, 0, hScrollRange_);
  if (hScrollBar_) hScrollBar_->Place();
}

void CContainerUI::SetScrollPos(int pos) {
  const int clamped = std::clamp(pos, 0, std::max(0, scrollRange_));
  if (clamped == scrollPos_) return;
  scrollPos_ = clamped;
  LayoutNow();
}

void CContainerUI::SetScrollRange(int range) {
  scrollRange_ = vscroll_ ? std::max(0, range) : 0;
  scrollPos_ = std::clamp(scrollPos_, 0, scrollRange_);
  if (scrollBar_) scrollBar_->Place();
}

CControlUI* CContainerUI::FindSubControl(const QString& name) const {
  for (CControlUI* c : items_) {
    if (c->GetName() == name) return c;
    if (auto* box = qobject_cast<CContainerUI*>(c)) {
      if (CControlUI* found = box->FindSubControl(name)) return found;
    }
  }
  return nullptr;
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  CControlUI::SetManager(manager, parent, init);
  for (CControlUI* c : items_) c->SetManager(manager, this, init);
}

void CContainerUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("inset")) SetInset(ParseMargins(value));
  else if (name == QLatin1String("childpadding")) SetChildPadding(value.toInt());
  else if (name == QLatin1String("childalign"))
    childAlign_ = value == QLatin1String("center") ? 1 : value == QLatin1String("right") ? 2 : 0;
  else if (name == QLatin1String("childvalign"))
    childVAlign_ = value == QLatin1String("vcenter") ? 1 : value == QLatin1String("bottom") ? 2 : 0;
  else if (name == QLatin1String("vscrollbar")) EnableScrollBar(ParseBool(value), hscroll_);
  else if (name == QLatin1String("hscrollbar")) EnableScrollBar(vscroll_, ParseBool(value));
  else CControlUI::SetAttribute(nameIn, value);
}

void CContainerUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_SCROLLWHEEL && vscroll_ && scrollRange_ > 0) {
    SetScrollPos(scrollPos_ + (event.wParam == 0 ? -1 : 1) * Scale(40));
    return;
  }
  // A row that only scrolls sideways takes the wheel for that.
  if (event.Type == UIEVENT_SCROLLWHEEL && hscroll_ && hScrollRange_ > 0) {
    SetHScrollPos(hScrollPos_ + (event.wParam == 0 ? -1 : 1) * Scale(40));
    return;
  }
  CControlUI::DoEvent(event);
}

void CContainerUI::ReloadText() {
  CControlUI::ReloadText();
  for (CControlUI* c : items_) c->ReloadText();
}

void CContainerUI::RequestLayout() {
  if (layoutPending_) return;
  layoutPending_ = true;
  QMetaObject::invokeMethod(this, [this] {
    if (layoutPending_) LayoutNow();
  }, Qt::QueuedConnection);
}

void CContainerUI::LayoutNow() {
  layoutPending_ = false;
  LayoutChildren();
  if (scrollBar_) scrollBar_->Place();
  if (hScrollBar_) hScrollBar_->Place();
}

void CContainerUI::resizeEvent(QResizeEvent*) { LayoutNow(); }

QRect CContainerUI::ContentRect() const {
  const QRect pos = GetPos();
  return pos.adjusted(Scale(inset_.left()), Scale(inset_.top()), -Scale(inset_.right()),
                      -Scale(inset_.bottom()));
}

void CContainerUI::PlaceFloat(CControlUI* child, const QRect& rc) {
  const QRect fp = child->GetFloatPos();
  const int w = child->GetFixedWidth() ? Scale(child->GetFixedWidth()) : Scale(fp.width());
  const int h = child->GetFixedHeight() ? Scale(child->GetFixedHeight()) : Scale(fp.height());
  child->SetPos(QRect(rc.left() + Scale(fp.left()), rc.top() + Scale(fp.top()), std::max(0, w), std::max(0, h)));
}

void CContainerUI::LayoutChildren() {
  const QRect rc = ContentRect();
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) {
      PlaceFloat(c, rc);
      continue;
    }
    const QMargins p = c->GetPadding();
    QRect r = rc.adjusted(Scale(p.left()), Scale(p.top()), -Scale(p.right()), -Scale(p.bottom()));
    const QSize sz = c->EstimateSize(r.size());
    if (sz.width() > 0) r.setWidth(std::min(sz.width(), r.width()));
    if (sz.height() > 0) r.setHeight(std::min(sz.height(), r.height()));
    c->SetPos(r);
  }
  SetScrollRange(0);
}

namespace {

struct Slot {
  CControlUI* control;
  int mainSize;   // fixed size along the axis, 0 = shares the rest
  QSize estimate;
  int minSize = 0, maxSize = 0;  // scaled limits along the axis
};

// Shares `rest` among the slots without a fixed size: each gets an equal
// share held within its minimum and maximum; what a held child leaves (or
// takes) is shared by the others. The last sharing child takes the pixels
// the division leaves over.
void ShareOut(std::vector<Slot>& line, int rest) {
  std::vector<Slot*> open;
  for (Slot& s : line)
    if (s.mainSize == 0) open.push_back(&s);
  while (!open.empty()) {
    const int share = rest / int(open.size());
    bool held = false;
    for (auto it = open.begin(); it != open.end();) {
      Slot* s = *it;
      const int size = share < s->minSize ? s->minSize : share > s->maxSize ? s->maxSize : -1;
      if (size < 0) {
        ++it;
        continue;
      }
      s->mainSize = std::max(size, 0);
      rest -= s->mainSize;
      it = open.erase(it);
      held = true;
    }
    if (held) continue;
    for (size_t i = 0; i < open.size(); ++i)
      open[i]->mainSize = std::max(0, share + (i + 1 == open.size() ? rest - share * int(open.size()) : 0));
    break;
  }
}

// Where a line of children starts along its axis when they leave room:
// 0 start, 1 centre, 2 end.
int AlignOffset(int align, int room) {
  if (room <= 0) return 0;
  return align == 1 ? room / 2 : align == 2 ? room : 0;
}

}  // namespace

void CVerticalLayoutUI::LayoutChildren() {
  const QRect rc = ContentRect();
  std::vector<Slot> placed;
  int fixedTotal = 0;
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) {
      PlaceFloat(c, rc);
      continue;
    }
    const QMargins p = c->GetPadding();
    QSize est = c->EstimateSize(QSize(rc.width() - Scale(p.left() + p.right()), rc.height()));
    const int minH = Scale(c->GetMinHeight()), maxH = Scale(c->GetMaxHeight());
    int h = est.height();
    // Not std::clamp: a layout may give a minimum above its maximum, and then
    // the maximum wins.
    if (h > 0) h = std::min(std::max(h, minH), maxH);
    fixedTotal += h + Scale(p.top() + p.bottom());
    placed.push_back({c, h, est, std::min(minH, maxH), maxH});
  }
  if (!placed.empty()) fixedTotal += Scale(childPadding_) * int(placed.size() - 1);
  ShareOut(placed, std::max(0, rc.height() - fixedTotal));
  int total = 0;
  for (const Slot& s : placed) {
    const QMargins p = s.control->GetPadding();
    total += s.mainSize + Scale(p.top() + p.bottom());
  }
  if (!placed.empty()) total += Scale(childPadding_) * int(placed.size() - 1);
  int y = rc.top() - (vscroll_ ? scrollPos_ : 0) + AlignOffset(childVAlign_, rc.height() - total);
  for (const Slot& s : placed) {
    const QMargins p = s.control->GetPadding();
    const int h = s.mainSize;
    const int avail = rc.width() - Scale(p.left() + p.right());
    int w = s.estimate.width() > 0 ? std::min(s.estimate.width(), std::max(avail, 0)) : avail;
    w = std::min(w, Scale(s.control->GetMaxWidth()));
    const int x = rc.left() + Scale(p.left()) + AlignOffset(childAlign_, avail - w);
    y += Scale(p.top());
    s.control->SetPos(QRect(x, y, std::max(w, 0), std::max(h, 0)));
    y += h + Scale(p.bottom()) + Scale(childPadding_);
  }
  SetScrollRange(total - rc.height());
}

void CHorizontalLayoutUI::LayoutChildren() {
  const QRect rc = ContentRect();
  std::vector<Slot> placed;
  int fixedTotal = 0;
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) {
      PlaceFloat(c, rc);
      continue;
    }
    const QMargins p = c->GetPadding();
    QSize est = c->EstimateSize(QSize(rc.width(), rc.height() - Scale(p.top() + p.bottom())));
    const int minW = Scale(c->GetMinWidth()), maxW = Scale(c->GetMaxWidth());
    int w = est.width();
    if (w > 0) w = std::min(std::max(w, minW), maxW);
    fixedTotal += w + Scale(p.left() + p.right());
    placed.push_back({c, w, est, std::min(minW, maxW), maxW});
  }
  if (!placed.empty()) fixedTotal += Scale(childPadding_) * int(placed.size() - 1);
  ShareOut(placed, std::max(0, rc.width() - fixedTotal));
  int total = 0;
  for (const Slot& s : placed) {
    const QMargins p = s.control->GetPadding();
    total += s.mainSize + Scale(p.left() + p.right());
  }
  if (!placed.empty()) total += Scale(childPadding_) * int(placed.size() - 1);
  int x = rc.left() - (hscroll_ ? hScrollPos_ : 0) + AlignOffset(childAlign_, rc.width() - total);
  for (const Slot& s : placed) {
    const QMargins p = s.control->GetPadding();
    const int w = s.mainSize;
    const int avail = rc.height() - Scale(p.top() + p.bottom());
    int h = s.estimate.height() > 0 ? std::min(s.estimate.height(), std::max(avail, 0)) : avail;
    h = std::min(h, Scale(s.control->GetMaxHeight()));
    const int y = rc.top() + Scale(p.top()) + AlignOffset(childVAlign_, avail - h);
    x += Scale(p.left());
    s.control->SetPos(QRect(x, y, std::max(w, 0), std::max(h, 0)));
    x += w + Scale(p.right()) + Scale(childPadding_);
  }
  SetScrollRange(0);
  SetHScrollRange(total - rc.width());
}

void CTileLayoutUI::SetColumns(int columns) {
  columns_ = std::max(1, columns);
  RequestLayout();
}

void CTileLayoutUI::SetItemSize(QSize size) {
  itemSize_ = size;
  RequestLayout();
}

void CTileLayoutUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("columns"), Qt::CaseInsensitive) == 0) SetColumns(value.toInt());
  else if (name.compare(QLatin1String("itemsize"), Qt::CaseInsensitive) == 0) SetItemSize(ParseSize(value));
  else CContainerUI::SetAttribute(name, value);
}

void CTileLayoutUI::LayoutChildren() {
  const QRect rc = ContentRect();
  const int gap = Scale(childPadding_);
  int columns = columns_;
  int cellW = 0;
  if (itemSize_.width() > 0) {
    cellW = Scale(itemSize_.width());
    columns = std::max(1, (rc.width() + gap) / std::max(1, cellW + gap));
  } else {
    cellW = std::max(0, (rc.width() - gap * (columns - 1)) / columns);
  }
  int x = 0, column = 0, rowHeight = 0;
  int y = rc.top() - (vscroll_ ? scrollPos_ : 0);
  int total = 0;
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) {
      PlaceFloat(c, rc);
      continue;
    }
    const QMargins p = c->GetPadding();
    const QSize est = c->EstimateSize(QSize(cellW, rc.height()));
    const int h = itemSize_.height() > 0 ? Scale(itemSize_.height()) : est.height();
    x = rc.left() + column * (cellW + gap);
    c->SetPos(QRect(x + Scale(p.left()), y + Scale(p.top()), std::max(0, cellW - Scale(p.left() + p.right())),
                    std::max(0, h)));
    rowHeight = std::max(rowHeight, h + Scale(p.top() + p.bottom()));
    if (++column == columns) {
      column = 0;
      y += rowHeight + gap;
      total += rowHeight + gap;
      rowHeight = 0;
    }
  }
  total += column ? rowHeight : (total > 0 ? -gap : 0);
  SetScrollRange(total - rc.height());
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  CControlUI* selected = GetItemAt(curSel_);
  if (!CContainerUI::AddAt(control, index)) return false;
  // The selection follows the selected page, wherever the new one goes.
  if (selected) curSel_ = GetItemIndex(selected);
  else if (control->IsVisible()) curSel_ = GetItemIndex(control);
  ShowSelected();
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool keep) {
  const int index = GetItemIndex(control);
  if (!CContainerUI::Remove(control, keep)) return false;
  ItemGone(index);
  return true;
}

void CTabLayoutUI::ItemGone(int index) {
  if (curSel_ == index) curSel_ = GetCount() > 0 ? 0 : -1;
  else if (curSel_ > index) --curSel_;
  ShowSelected();
}

void CTabLayoutUI::RemoveAll() {
  curSel_ = -1;
  CContainerUI::RemoveAll();
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == curSel_) return true;
  curSel_ = index;
  ShowSelected();
  LayoutNow();
  return true;
}

void CTabLayoutUI::DoInit() {
  CContainerUI::DoInit();
  if (initialSel_ >= 0) SelectItem(initialSel_);
  initialSel_ = -1;
}

bool CTabLayoutUI::SelectItem(CControlUI* control) { return SelectItem(GetItemIndex(control)); }

void CTabLayoutUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("selectedid"), Qt::CaseInsensitive) == 0) {
    // A layout names the page before its pages exist: kept until DoInit,
    // which runs once the children are built.
    if (inited_) SelectItem(value.toInt());
    else initialSel_ = value.toInt();
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

void CTabLayoutUI::ShowSelected() {
  for (int i = 0; i < GetCount(); ++i) items_[size_t(i)]->SetInternVisible(i == curSel_);
}

void CTabLayoutUI::LayoutChildren() {
  ShowSelected();
  const QRect rc = ContentRect();
  for (CControlUI* c : items_) {
    const QMargins p = c->GetPadding();
    c->SetPos(rc.adjusted(Scale(p.left()), Scale(p.top()), -Scale(p.right()), -Scale(p.bottom())));
  }
  SetScrollRange(0);
}

}  // namespace ui
