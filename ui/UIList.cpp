#include "ui/UIList.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWheelEvent>

#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace ui {

namespace {
bool Is(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

constexpr int kDefaultItemHeight = 30;

void ParseListInfo(TListInfoUI& info, const QString& name, const QString& value, bool& handled) {
  handled = true;
  if (name == QLatin1String("itemfont")) info.font = value.toInt();
  else if (name == QLatin1String("itemtextcolor")) info.textColor = ParseColor(value);
  else if (name == QLatin1String("itembkcolor")) info.bkColor = ParseColor(value);
  else if (name == QLatin1String("itemselectedtextcolor")) info.selectedTextColor = ParseColor(value);
  else if (name == QLatin1String("itemselectedbkcolor")) info.selectedBkColor = ParseColor(value);
  else if (name == QLatin1String("itemhottextcolor")) info.hotTextColor = ParseColor(value);
  else if (name == QLatin1String("itemhotbkcolor")) info.hotBkColor = ParseColor(value);
  else if (name == QLatin1String("itemdisabledtextcolor")) info.disabledTextColor = ParseColor(value);
  else if (name == QLatin1String("itemtextpadding")) info.textPadding = ParseMargins(value);
  else if (name == QLatin1String("itemalign")) {
    info.textStyle = (info.textStyle & ~(Qt::AlignLeft | Qt::AlignHCenter | Qt::AlignRight)) |
                     (value == QLatin1String("center") ? Qt::AlignHCenter
                      : value == QLatin1String("right") ? Qt::AlignRight
                                                        : Qt::AlignLeft);
  } else if (name == QLatin1String("multiselect")) info.multiSelect = ParseBool(value);
  else handled = false;
}

// Background of an element by state, shared by both element classes.
void PaintItemBk(QPainter& painter, CControlUI* self, const IListItemUI& item, uint32_t ownBk) {
  const TListInfoUI* info = item.GetOwner() ? item.GetOwner()->GetListInfo() : nullptr;
  const double f = self->GetManager() ? self->GetManager()->GetDPIObj().ScaleFactor() : 1.0;
  const QSize round = QSize(6, 6) * f;
  uint32_t c = ownBk;
  if (item.IsSelected()) c = info && HasColor(info->selectedBkColor) ? info->selectedBkColor : theme::kListSelected;
  else if (self->GetButtonState() & UISTATE_HOT) c = info && HasColor(info->hotBkColor) ? info->hotBkColor : theme::kListHot;
  else if (!HasColor(c) && info) c = info->bkColor;
  CRenderEngine::DrawColor(painter, self->GetPos(), c, round);
}
}  // namespace

// ------------------------------------------------------------ IListItemUI

bool IListItemUI::HandleItemEvent(CControlUI* self, TEventUI& event) {
  CPaintManagerUI* m = self->GetManager();
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
      if (self->IsEnabled()) {
        // The "itemselect" handler may remove this element.
        QPointer<CControlUI> alive(self);
        if ((event.wKeyState & MK_CONTROL) && owner_ && owner_->GetListInfo()->multiSelect) SelectMulti(!selected_);
        else Select(true);
        if (alive) self->Invalidate();
      }
      return true;
    case UIEVENT_DBLCLICK:
      if (self->IsEnabled()) self->Activate();
      return true;
    case UIEVENT_BUTTONUP:
      if (self->IsEnabled() && m) m->SendNotify(self, notify::kItemClick);
      return true;
    case UIEVENT_KEYDOWN:
      if (event.chKey == Qt::Key_Return || event.chKey == Qt::Key_Enter) {
        self->Activate();
        return true;
      }
      if (owner_) owner_->DoEvent(event);
      return true;
    case UIEVENT_MOUSEENTER:
      if (self->IsEnabled()) {
        self->Invalidate();
      }
      return false;
    case UIEVENT_CONTEXTMENU:
      if (self->IsContextMenuUsed()) {
        if (m) m->SendNotify(self, notify::kMenu, event.wParam, event.lParam);
      } else if (owner_) {
        owner_->DoEvent(event);
      }
      return true;
    case UIEVENT_SCROLLWHEEL:
      if (owner_) owner_->DoEvent(event);
      return true;
    default:
      return false;
  }
}

bool IListItemUI::ApplySelect(CControlUI* self, bool select, bool triggerEvent, bool multi) {
  if (!self->IsEnabled()) return false;
  if (select && owner_) return multi ? owner_->SelectMultiItem(index_) : owner_->SelectItem(index_, false, triggerEvent);
  selected_ = select;
  self->Invalidate();
  return true;
}

bool IListItemUI::ActivateItem(CControlUI* self) {
  if (!self->CControlUI::Activate()) return false;
  if (CPaintManagerUI* m = self->GetManager()) m->SendNotify(self, notify::kItemActivate);
  return true;
}

// ---------------------------------------------------- CListLabelElementUI

CListLabelElementUI::CListLabelElementUI() {
  textPadding_ = QMargins(8, 0, 8, 0);
}

bool CListLabelElementUI::IsClass(const QString& c) const {
  return Is(c, "ListLabelElement") || Is(c, "ListElement") || CLabelUI::IsClass(c);
}

void CListLabelElementUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("selected"), Qt::CaseInsensitive) == 0) selected_ = ParseBool(value);
  else CLabelUI::SetAttribute(name, value);
}

bool CListLabelElementUI::Select(bool select, bool triggerEvent) { return ApplySelect(this, select, triggerEvent, false); }
bool CListLabelElementUI::SelectMulti(bool select) { return ApplySelect(this, select, true, true); }
bool CListLabelElementUI::Activate() { return ActivateItem(this); }

void CListLabelElementUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_MOUSEENTER) state_ |= UISTATE_HOT;
  if (event.Type == UIEVENT_MOUSELEAVE) {
    state_ &= ~UISTATE_HOT;
    Invalidate();
    return;
  }
  if (HandleItemEvent(this, event)) return;
  if (event.Type == UIEVENT_MOUSEENTER || event.Type == UIEVENT_MOUSEMOVE) return;
  CLabelUI::DoEvent(event);
}

void CListLabelElementUI::PaintBkColor(QPainter& painter) { PaintItemBk(painter, this, *this, bkColor_); }

void CListLabelElementUI::PaintText(QPainter& painter) {
  const TListInfoUI* info = owner_ ? owner_->GetListInfo() : nullptr;
  uint32_t color = textColor_;
  if (info) {
    if (!IsEnabled()) color = HasColor(info->disabledTextColor) ? info->disabledTextColor : theme::kTextDisabled;
    else if (selected_ && HasColor(info->selectedTextColor)) color = info->selectedTextColor;
    else if ((state_ & UISTATE_HOT) && HasColor(info->hotTextColor)) color = info->hotTextColor;
    else if (!HasColor(color)) color = info->textColor;
    if (info->font >= 0 && font_ < 0) font_ = info->font;
  }
  DrawText(painter, GetText(), TextColorFor(color));
}

QSize CListLabelElementUI::EstimateSize(QSize available) const {
  QSize s = CLabelUI::EstimateSize(available);
  if (s.height() == 0) s.setHeight(Scale(kDefaultItemHeight));
  return s;
}

// ------------------------------------------------ CListContainerElementUI

CListContainerElementUI::CListContainerElementUI() = default;

bool CListContainerElementUI::IsClass(const QString& c) const {
  return Is(c, "ListContainerElement") || Is(c, "ListElement") || CHorizontalLayoutUI::IsClass(c);
}

void CListContainerElementUI::SetAttribute(const QString& name, const QString& value) {
  if (name.compare(QLatin1String("selected"), Qt::CaseInsensitive) == 0) selected_ = ParseBool(value);
  else CHorizontalLayoutUI::SetAttribute(name, value);
}

bool CListContainerElementUI::Select(bool select, bool triggerEvent) { return ApplySelect(this, select, triggerEvent, false); }
bool CListContainerElementUI::SelectMulti(bool select) { return ApplySelect(this, select, true, true); }
bool CListContainerElementUI::Activate() { return ActivateItem(this); }

void CListContainerElementUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_MOUSEENTER) state_ |= UISTATE_HOT;
  if (event.Type == UIEVENT_MOUSELEAVE) {
    // Moving onto a child of the row is not leaving the row.
    if (!rect().contains(mapFromGlobal(QCursor::pos()))) state_ &= ~UISTATE_HOT;
    Invalidate();
    return;
  }
  if (HandleItemEvent(this, event)) return;
  if (event.Type == UIEVENT_MOUSEENTER || event.Type == UIEVENT_MOUSEMOVE) return;
  CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerElementUI::PaintBkColor(QPainter& painter) { PaintItemBk(painter, this, *this, bkColor_); }

QSize CListContainerElementUI::EstimateSize(QSize available) const {
  QSize s = CHorizontalLayoutUI::EstimateSize(available);
  if (s.height() == 0) s.setHeight(Scale(kDefaultItemHeight));
  return s;
}

// ---------------------------------------------------------------- CListUI

CListUI::CListUI() {
  EnableScrollBar(true);
  setFocusPolicy(Qt::ClickFocus);
}

bool CListUI::IsClass(const QString& c) const { return Is(c, "List") || CVerticalLayoutUI::IsClass(c); }

bool CListUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CListUI::AddAt(CControlUI* control, int index) {
  CControlUI* selected = GetItemAt(curSel_);
  if (!CVerticalLayoutUI::AddAt(control, index)) return false;
  auto* item = dynamic_cast<IListItemUI*>(control);
  if (item) item->SetOwner(this);
  // The selection follows the selected item, wherever the new one goes.
  if (selected) curSel_ = GetItemIndex(selected);
  Reindex();
  // An element the layout marks selected becomes the selection, silently.
  if (item && item->IsSelected()) {
    item->SetSelectedFlag(false);
    SelectItem(index, false, false);
  }
  return true;
}

bool CListUI::Remove(CControlUI* control, bool keep) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  if (auto* item = dynamic_cast<IListItemUI*>(control)) item->SetOwner(nullptr);
  CVerticalLayoutUI::Remove(control, keep);
  ItemGone(index);
  return true;
}

void CListUI::ItemGone(int index) {
  if (curSel_ == index) curSel_ = -1;
  else if (curSel_ > index) --curSel_;
  Reindex();
}

void CListUI::RemoveAll() {
  curSel_ = -1;
  CVerticalLayoutUI::RemoveAll();
}

void CListUI::Reindex() {
  for (int i = 0; i < GetCount(); ++i)
    if (auto* item = dynamic_cast<IListItemUI*>(GetItemAt(i))) item->SetIndex(i);
}

bool CListUI::SelectItem(int index, bool takeFocus, bool triggerEvent) {
  if (!info_.multiSelect && index == curSel_) return true;
  const int old = curSel_;
  UnSelectAllItems();
  if (index < 0) {
    curSel_ = -1;
    return false;
  }
  auto* item = dynamic_cast<IListItemUI*>(GetItemAt(index));
  if (!item || !item->ItemControl()->IsVisible() || !item->ItemControl()->IsEnabled()) return false;
  item->SetSelectedFlag(true);
  item->ItemControl()->Invalidate();
  curSel_ = index;
  EnsureVisible(index);
  if (takeFocus) setFocus(Qt::OtherFocusReason);
  if (triggerEvent && manager_) manager_->SendNotify(this, notify::kItemSelect, uint64_t(index), old);
  return true;
}

bool CListUI::SelectMultiItem(int index, bool takeFocus) {
  if (!info_.multiSelect) return SelectItem(index, takeFocus);
  auto* item = dynamic_cast<IListItemUI*>(GetItemAt(index));
  if (!item || !item->ItemControl()->IsEnabled()) return false;
  item->SetSelectedFlag(true);
  item->ItemControl()->Invalidate();
  const int old = curSel_;
  curSel_ = index;
  if (manager_) manager_->SendNotify(this, notify::kItemSelect, uint64_t(index), old);
  return true;
}

std::vector<int> CListUI::GetSelectedItems() const {
  std::vector<int> out;
  for (int i = 0; i < GetCount(); ++i)
    if (auto* item = dynamic_cast<IListItemUI*>(GetItemAt(i)); item && item->IsSelected()) out.push_back(i);
  return out;
}

void CListUI::UnSelectAllItems() {
  for (int i = 0; i < GetCount(); ++i) {
    if (auto* item = dynamic_cast<IListItemUI*>(GetItemAt(i)); item && item->IsSelected()) {
      item->SetSelectedFlag(false);
      item->ItemControl()->Invalidate();
    }
  }
}

void CListUI::EnsureVisible(int index) {
  CControlUI* c = GetItemAt(index);
  if (!c || GetScrollRange() <= 0) return;
  const QRect content = ContentRect();
  const QRect pos = c->GetPos();
  if (pos.top() < content.top()) SetScrollPos(GetScrollPos() - (content.top() - pos.top()));
  else if (pos.bottom() > content.bottom()) SetScrollPos(GetScrollPos() + (pos.bottom() - content.bottom()));
}

void CListUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_KEYDOWN) {
    if (event.chKey == Qt::Key_Up && curSel_ > 0) {
      SelectItem(curSel_ - 1, true);
      return;
    }
    if (event.chKey == Qt::Key_Down && curSel_ + 1 < GetCount()) {
      SelectItem(curSel_ + 1, true);
      return;
    }
  }
  CVerticalLayoutUI::DoEvent(event);
}

void CListUI::SetAttribute(const QString& nameIn, const QString& value) {
  bool handled = false;
  ParseListInfo(info_, nameIn.toLower(), value, handled);
  if (!handled) CVerticalLayoutUI::SetAttribute(nameIn, value);
}

// ------------------------------------------------------------- ComboPopup

// The combo's drop-down: draws the combo's items as rows and selects the
// clicked one.
class ComboPopup : public QWidget {
 public:
  explicit ComboPopup(CComboUI* combo) : QWidget(combo, Qt::Popup | Qt::FramelessWindowHint), combo_(combo) {
    setAttribute(Qt::WA_TranslucentBackground, false);
    setMouseTracking(true);
  }

  std::vector<int> Rows() const {
    std::vector<int> rows;
    for (int i = 0; i < combo_->GetCount(); ++i)
      if (combo_->GetItemAt(i)->IsVisible()) rows.push_back(i);
    return rows;
  }
  int RowHeight(int item) const {
    const int h = combo_->GetItemAt(item)->GetFixedHeight();
    return combo_->Scale(h > 0 ? h : kDefaultItemHeight);
  }
  // The item under a popup point, -1 for none.
  int ItemAt(QPoint p) const {
    int y = 4 - scroll_;
    for (int i : Rows()) {
      const int h = RowHeight(i);
      if (p.y() >= y && p.y() < y + h) return i;
      y += h;
    }
    return -1;
  }
  QRect RowRect(int item) const {
    int y = 4 - scroll_;
    for (int i : Rows()) {
      const int h = RowHeight(i);
      if (i == item) return QRect(4, y, width() - 8, h);
      y += h;
    }
    return {};
  }
  int ContentHeight() const {
    int total = 8;
    for (int i : Rows()) total += RowHeight(i);
    return total;
  }
  void Open() {
    const QRect pos = combo_->GetPos();
    const int h = std::min(ContentHeight(), combo_->Scale(combo_->GetDropBoxHeight()));
    QPoint global = combo_->mapToGlobal(QPoint(0, combo_->height() + 2));
    resize(pos.width(), std::max(h, combo_->Scale(20)));
    if (QScreen* screen = combo_->screen()) {
      const QRect avail = screen->availableGeometry();
      if (global.y() + height() > avail.bottom()) global.setY(combo_->mapToGlobal(QPoint(0, 0)).y() - height() - 2);
    }
    move(global);
    hot_ = combo_->GetCurSel();
    scroll_ = 0;
    show();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillRect(rect(), QColor::fromRgba(theme::kPopupBk));
    p.setPen(QColor::fromRgba(theme::kBorder));
    p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    const TListInfoUI* info = combo_->GetListInfo();
    CPaintManagerUI* m = combo_->GetManager();
    p.setFont(m ? m->GetFont(info->font) : font());
    for (int i : Rows()) {
      const QRect r = RowRect(i);
      if (r.bottom() < 0 || r.top() > height()) continue;
      CControlUI* item = combo_->GetItemAt(i);
      const bool selected = i == combo_->GetCurSel();
      if (i == hot_) CRenderEngine::DrawColor(p, r, HasColor(info->hotBkColor) ? info->hotBkColor : theme::kListHot, QSize(8, 8));
      else if (selected) CRenderEngine::DrawColor(p, r, HasColor(info->selectedBkColor) ? info->selectedBkColor : theme::kListSelected, QSize(8, 8));
      uint32_t color = HasColor(info->textColor) ? info->textColor : theme::kText;
      if (!item->IsEnabled()) color = theme::kTextDisabled;
      else if (selected && HasColor(info->selectedTextColor)) color = info->selectedTextColor;
      p.setPen(QColor::fromRgba(color));
      const QMargins pad = info->textPadding;
      p.drawText(r.adjusted(combo_->Scale(pad.left()), 0, -combo_->Scale(pad.right()), 0), info->textStyle, item->GetText());
    }
    if (ScrollRange() > 0) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor::fromRgba(theme::kBorder));
      p.drawRoundedRect(QRectF(Thumb()), 2.5, 2.5);
    }
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (dragging_ && (e->buttons() & Qt::LeftButton)) {
      const int y = int(e->position().y());
      const int travel = height() - 8 - Thumb().height();
      if (travel > 0) scroll_ = std::clamp(scroll_ + (y - lastY_) * ScrollRange() / travel, 0, ScrollRange());
      lastY_ = y;
      update();
      return;
    }
    const int i = ItemAt(e->position().toPoint());
    if (i != hot_) {
      hot_ = i;
      update();
    }
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (dragging_) {
      dragging_ = false;
      return;
    }
    if (!rect().contains(e->position().toPoint())) {
      close();
      return;
    }
    const int i = ItemAt(e->position().toPoint());
    if (i < 0 || !combo_->GetItemAt(i)->IsEnabled()) return;
    close();
    combo_->SelectItem(i, false, true);
  }
  void wheelEvent(QWheelEvent* e) override {
    const int range = std::max(0, ContentHeight() - height());
    scroll_ = std::clamp(scroll_ - e->angleDelta().y() / 3, 0, range);
    update();
  }
  // Up and Down move the highlight over the items that can be picked and
  // scroll it into view; Enter picks it; Escape closes.
  void keyPressEvent(QKeyEvent* e) override {
    const int key = e->key();
    if (key == Qt::Key_Escape) {
      close();
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
      std::vector<int> rows;
      for (int i : Rows())
        if (combo_->GetItemAt(i)->IsEnabled()) rows.push_back(i);
      if (rows.empty()) return;
      auto at = std::find(rows.begin(), rows.end(), hot_);
      if (at == rows.end()) hot_ = key == Qt::Key_Down ? rows.front() : rows.back();
      else if (key == Qt::Key_Down && at + 1 != rows.end()) hot_ = *(at + 1);
      else if (key == Qt::Key_Up && at != rows.begin()) hot_ = *(at - 1);
      const QRect r = RowRect(hot_);
      if (r.top() < 4) scroll_ -= 4 - r.top();
      else if (r.bottom() > height() - 5) scroll_ += r.bottom() - (height() - 5);
      scroll_ = std::clamp(scroll_, 0, ScrollRange());
      update();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      const int pick = hot_;
      close();
      if (pick >= 0 && combo_->GetItemAt(pick)->IsEnabled()) combo_->SelectItem(pick, false, true);
    } else {
      QWidget::keyPressEvent(e);
    }
  }
  void mousePressEvent(QMouseEvent* e) override {
    dragging_ = Thumb().adjusted(-4, 0, 4, 0).contains(e->position().toPoint());
    lastY_ = int(e->position().y());
  }

 public:
  int ScrollRange() const { return std::max(0, ContentHeight() - height()); }
  int ScrollPos() const { return scroll_; }

 private:
  // The scroll thumb at the right edge of a list longer than the drop-down.
  QRect Thumb() const {
    const int range = ScrollRange();
    if (range <= 0) return {};
    const int h = height() - 8;
    const int thumbH = std::max(20, h * h / (h + range));
    return QRect(width() - 8, 4 + (h - thumbH) * scroll_ / range, 5, thumbH);
  }

  CComboUI* combo_;
  int hot_ = -1;
  int scroll_ = 0;
  bool dragging_ = false;
  int lastY_ = 0;
};

// --------------------------------------------------------------- CComboUI

CComboUI::CComboUI() {
  setFocusPolicy(Qt::TabFocus);
  info_.textPadding = QMargins(10, 0, 10, 0);
}

CComboUI::~CComboUI() = default;

bool CComboUI::IsClass(const QString& c) const { return Is(c, "Combo") || CContainerUI::IsClass(c); }

bool CComboUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CComboUI::AddAt(CControlUI* control, int index) {
  CControlUI* selected = GetItemAt(curSel_);
  if (!CContainerUI::AddAt(control, index)) return false;
  auto* item = dynamic_cast<IListItemUI*>(control);
  if (item) item->SetOwner(this);
  control->SetInternVisible(false);
  // The selection follows the selected item, wherever the new one goes.
  if (selected) curSel_ = GetItemIndex(selected);
  Reindex();
  if (item && item->IsSelected()) {
    item->SetSelectedFlag(false);
    SelectItem(index, false, false);
  }
  return true;
}

bool CComboUI::Remove(CControlUI* control, bool keep) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  if (auto* item = dynamic_cast<IListItemUI*>(control)) item->SetOwner(nullptr);
  CContainerUI::Remove(control, keep);
  ItemGone(index);
  return true;
}

void CComboUI::ItemGone(int index) {
  if (curSel_ == index) curSel_ = -1;
  else if (curSel_ > index) --curSel_;
  Reindex();
  Invalidate();
}

void CComboUI::RemoveAll() {
  curSel_ = -1;
  CContainerUI::RemoveAll();
  Invalidate();
}

void CComboUI::Reindex() {
  for (int i = 0; i < GetCount(); ++i)
    if (auto* item = dynamic_cast<IListItemUI*>(GetItemAt(i))) item->SetIndex(i);
}

QString CComboUI::GetText() const {
  CControlUI* item = GetItemAt(curSel_);
  return item ? item->GetText() : QString();
}

bool CComboUI::SelectItem(int index, bool, bool triggerEvent) {
  if (index == curSel_) return true;
  const int old = curSel_;
  if (auto* prev = dynamic_cast<IListItemUI*>(GetItemAt(curSel_))) prev->SetSelectedFlag(false);
  if (index < 0) {
    curSel_ = -1;
    Invalidate();
    return false;
  }
  auto* item = dynamic_cast<IListItemUI*>(GetItemAt(index));
  if (!item) {
    curSel_ = -1;
    Invalidate();
    return false;
  }
  item->SetSelectedFlag(true);
  curSel_ = index;
  Invalidate();
  if (triggerEvent && manager_) manager_->SendNotify(this, notify::kItemSelect, uint64_t(index), old);
  return true;
}

QWidget* CComboUI::GetDropWindow() const { return popup_; }

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (!popup_) popup_ = new ComboPopup(this);  // Qt-owned by the combo
  popup_->Open();
  return true;
}

void CComboUI::ClosePopup() {
  if (popup_) popup_->close();
}

QWidget* CComboUI::GetPopup() const { return popup_; }

void CComboUI::DoEvent(TEventUI& event) {
  const QRect pos = GetPos();
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled() && pos.contains(event.ptMouse)) {
        state_ |= UISTATE_PUSHED | UISTATE_CAPTURED;
        Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if (state_ & UISTATE_CAPTURED) {
        state_ &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
        Invalidate();
        if (pos.contains(event.ptMouse)) Activate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      return;
    case UIEVENT_KEYDOWN:
      if (event.chKey == Qt::Key_Up && curSel_ > 0) SelectItem(curSel_ - 1);
      else if (event.chKey == Qt::Key_Down && curSel_ + 1 < GetCount()) SelectItem(curSel_ + 1);
      else if (event.chKey == Qt::Key_Space || event.chKey == Qt::Key_Return) Activate();
      return;
    case UIEVENT_SCROLLWHEEL:
      return;  // a combo does not change under a passing wheel
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) state_ |= UISTATE_HOT;
      Invalidate();
      return;
    case UIEVENT_MOUSELEAVE:
      state_ &= ~UISTATE_HOT;
      Invalidate();
      return;
    default:
      break;
  }
  CContainerUI::DoEvent(event);
}

void CComboUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  bool handled = false;
  ParseListInfo(info_, name, value, handled);
  if (handled) return;
  if (name == QLatin1String("normalimage")) normalImage_ = value;
  else if (name == QLatin1String("hotimage")) hotImage_ = value;
  else if (name == QLatin1String("pushedimage")) pushedImage_ = value;
  else if (name == QLatin1String("disabledimage")) disabledImage_ = value;
  else if (name == QLatin1String("textpadding")) comboTextPadding_ = ParseMargins(value);
  else if (name == QLatin1String("font")) comboFont_ = value.toInt();
  else if (name == QLatin1String("textcolor")) comboTextColor_ = ParseColor(value);
  else if (name == QLatin1String("dropboxsize")) dropHeight_ = ParseSize(value).height() ? ParseSize(value).height() : dropHeight_;
  else if (name == QLatin1String("dropboxheight")) dropHeight_ = value.toInt();
  else CContainerUI::SetAttribute(nameIn, value);
  Invalidate();
}

void CComboUI::LayoutChildren() {
  for (CControlUI* c : items_) c->SetInternVisible(false);
  SetScrollRange(0);
}

void CComboUI::PaintBkColor(QPainter& painter) {
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  if (HasColor(bkColor_) || !normalImage_.isEmpty() || !bkImage_.isEmpty()) {
    CContainerUI::PaintBkColor(painter);
    return;
  }
  const QSize round = (borderRound_.isEmpty() ? QSize(theme::kRound, theme::kRound) : borderRound_) * f;
  uint32_t c = theme::kButtonBk;
  if (!IsEnabled()) c = theme::kButtonDisabled;
  else if (state_ & (UISTATE_HOT | UISTATE_PUSHED)) c = theme::kButtonHot;
  CRenderEngine::DrawColor(painter, GetPos(), c, round);
}

void CComboUI::PaintStatusImage(QPainter& painter) {
  QString image = normalImage_;
  if (!IsEnabled() && !disabledImage_.isEmpty()) image = disabledImage_;
  else if ((state_ & UISTATE_PUSHED) && !pushedImage_.isEmpty()) image = pushedImage_;
  else if ((state_ & UISTATE_HOT) && !hotImage_.isEmpty()) image = hotImage_;
  if (!image.isEmpty()) {
    DrawImage(painter, image);
    return;
  }
  // The theme's drop-down chevron.
  const QRect pos = GetPos();
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const QPointF c(pos.right() - 14 * f, pos.center().y() + 0.5);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(QColor::fromRgba(IsEnabled() ? theme::kTextDim : theme::kTextDisabled), 1.6 * f, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  const QPointF pts[3] = {c + QPointF(-4 * f, -2 * f), c + QPointF(0, 2 * f), c + QPointF(4 * f, -2 * f)};
  painter.drawPolyline(pts, 3);
  painter.restore();
}

void CComboUI::PaintText(QPainter& painter) {
  const QString text = GetText();
  if (text.isEmpty()) return;
  const QRect rc = GetPos().adjusted(Scale(comboTextPadding_.left()), Scale(comboTextPadding_.top()),
                                     -Scale(comboTextPadding_.right()), -Scale(comboTextPadding_.bottom()));
  painter.save();
  painter.setFont(manager_ ? manager_->GetFont(comboFont_) : font());
  painter.setPen(QColor::fromRgba(TextColorFor(comboTextColor_)));
  painter.drawText(rc, Qt::AlignLeft | Qt::AlignVCenter, QFontMetrics(painter.font()).elidedText(text, Qt::ElideRight, rc.width()));
  painter.restore();
}

void CComboUI::PaintBorder(QPainter& painter) {
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  if (borderSize_ > 0) {
    CContainerUI::PaintBorder(painter);
    return;
  }
  if (!HasColor(bkColor_) && normalImage_.isEmpty() && bkImage_.isEmpty()) {
    const QSize round = (borderRound_.isEmpty() ? QSize(theme::kRound, theme::kRound) : borderRound_) * f;
    CRenderEngine::DrawBorder(painter, GetPos(), (state_ & UISTATE_HOT) ? theme::kAccent : theme::kBorder, 1, round);
  }
}

}  // namespace ui
