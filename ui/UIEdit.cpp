#include "ui/UIEdit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UIResource.h"
#include "ui/UITheme.h"

namespace ui {

CEditUI::CEditUI() {
  resourceText_ = false;
  textPadding_ = QMargins(6, 0, 6, 0);
  edit_ = new QLineEdit(this);  // Qt-owned child
  edit_->setFrame(false);
  edit_->setMaxLength(maxChar_);
  edit_->setAttribute(Qt::WA_MacShowFocusRect, false);
  edit_->installEventFilter(this);
  setFocusProxy(edit_);
  connect(edit_, &QLineEdit::textEdited, this, [this] {
    if (manager_) manager_->SendNotify(this, notify::kTextChanged);
  });
  connect(edit_, &QLineEdit::returnPressed, this, [this] {
    if (manager_) manager_->SendNotify(this, notify::kReturn);
  });
  ApplyLook();
}

CEditUI::~CEditUI() { edit_->removeEventFilter(this); }

bool CEditUI::IsClass(const QString& c) const {
  return c.compare(QLatin1String("Edit"), Qt::CaseInsensitive) == 0 || CLabelUI::IsClass(c);
}

QString CEditUI::GetText() const { return edit_->text(); }

void CEditUI::SetText(const QString& text) {
  text_ = text;
  const QSignalBlocker block(edit_);
  edit_->setText(text);
  edit_->setCursorPosition(0);
}

void CEditUI::SetMaxChar(int max) {
  maxChar_ = max > 0 ? max : 32767;
  edit_->setMaxLength(maxChar_);
}

void CEditUI::SetNumberOnly(bool on) {
  numberOnly_ = on;
  if (on) {
    edit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));
  } else {
    edit_->setValidator(nullptr);
  }
}

void CEditUI::SetReadOnly(bool on) {
  readOnly_ = on;
  edit_->setReadOnly(on);
  if (on) state_ |= UISTATE_READONLY;
  else state_ &= ~UISTATE_READONLY;
  Invalidate();
}

void CEditUI::SetPasswordMode(bool on) {
  password_ = on;
  edit_->setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
}

void CEditUI::SetPromptText(const QString& text) {
  prompt_ = text;
  edit_->setPlaceholderText(CResourceManager::GetInstance().ResolveText(text));
}

void CEditUI::SetSel(int start, int end) {
  if (end < 0) end = int(edit_->text().size());
  edit_->setSelection(start, end - start);
}

void CEditUI::SetSelAll() { edit_->selectAll(); }

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  edit_->setEnabled(enabled);
  ApplyLook();
}

void CEditUI::SetNativeEditBkColor(uint32_t argb) {
  nativeBkColor_ = argb;
  ApplyLook();
}

void CEditUI::SetAttribute(const QString& nameIn, const QString& value) {
  const QString name = nameIn.toLower();
  if (name == QLatin1String("maxchar")) SetMaxChar(value.toInt());
  else if (name == QLatin1String("numberonly")) SetNumberOnly(ParseBool(value));
  else if (name == QLatin1String("readonly")) SetReadOnly(ParseBool(value));
  else if (name == QLatin1String("password")) SetPasswordMode(ParseBool(value));
  else if (name == QLatin1String("prompttext") || name == QLatin1String("tipvalue")) SetPromptText(value);
  else if (name == QLatin1String("nativebkcolor")) SetNativeEditBkColor(ParseColor(value));
  else if (name == QLatin1String("text")) SetText(value);
  else {
    CLabelUI::SetAttribute(nameIn, value);
    if (name == QLatin1String("textcolor") || name == QLatin1String("font") || name == QLatin1String("align") ||
        name == QLatin1String("textpadding"))
      ApplyLook();
  }
}

void CEditUI::ReloadText() {
  CLabelUI::ReloadText();
  if (!prompt_.isEmpty()) edit_->setPlaceholderText(CResourceManager::GetInstance().ResolveText(prompt_));
  ApplyLook();
}

void CEditUI::DoInit() { ApplyLook(); }

void CEditUI::ApplyLook() {
  QPalette pal = edit_->palette();
  const uint32_t text = IsEnabled() ? TextColorFor(textColor_) : theme::kTextDisabled;
  pal.setColor(QPalette::Text, QColor::fromRgba(text));
  pal.setColor(QPalette::PlaceholderText, QColor::fromRgba(theme::kTextDim));
  pal.setColor(QPalette::Base, HasColor(nativeBkColor_) ? QColor::fromRgba(nativeBkColor_) : QColor(Qt::transparent));
  pal.setColor(QPalette::Highlight, QColor::fromRgba(theme::kAccent));
  pal.setColor(QPalette::HighlightedText, Qt::white);
  edit_->setPalette(pal);
  edit_->setAutoFillBackground(HasColor(nativeBkColor_));
  if (manager_) edit_->setFont(CurrentFont());
  edit_->setAlignment(Qt::Alignment(textStyle_ & (Qt::AlignLeft | Qt::AlignHCenter | Qt::AlignRight)) | Qt::AlignVCenter);
  edit_->setGeometry(rect().adjusted(Scale(textPadding_.left()), Scale(textPadding_.top()) + 1,
                                     -Scale(textPadding_.right()), -Scale(textPadding_.bottom()) - 1));
}

void CEditUI::resizeEvent(QResizeEvent*) { ApplyLook(); }

bool CEditUI::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_) {
    if (event->type() == QEvent::FocusIn) {
      state_ |= UISTATE_FOCUSED;
      if (manager_) manager_->SetFocus(this);
      Invalidate();
      if (manager_) manager_->SendNotify(this, notify::kSetFocus);
    } else if (event->type() == QEvent::FocusOut) {
      state_ &= ~UISTATE_FOCUSED;
      Invalidate();
      if (manager_) manager_->SendNotify(this, notify::kKillFocus);
    } else if (event->type() == QEvent::Enter) {
      state_ |= UISTATE_HOT;
      Invalidate();
    } else if (event->type() == QEvent::Leave) {
      state_ &= ~UISTATE_HOT;
      Invalidate();
    }
  }
  return CLabelUI::eventFilter(watched, event);
}

void CEditUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_BUTTONDOWN && IsEnabled()) {
    edit_->setFocus(Qt::MouseFocusReason);
    return;
  }
  CLabelUI::DoEvent(event);
}

void CEditUI::PaintBkColor(QPainter& painter) {
  if (HasColor(bkColor_) || !bkImage_.isEmpty()) {
    CLabelUI::PaintBkColor(painter);
    return;
  }
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const QSize round = (borderRound_.isEmpty() ? QSize(theme::kRound, theme::kRound) : borderRound_) * f;
  CRenderEngine::DrawColor(painter, GetPos(), readOnly_ || !IsEnabled() ? theme::kPanelBk : theme::kEditBk, round);
}

void CEditUI::PaintBorder(QPainter& painter) {
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const QSize round = (borderRound_.isEmpty() ? QSize(theme::kRound, theme::kRound) : borderRound_) * f;
  if (IsFocused() && !readOnly_) {
    const uint32_t ring = HasColor(focusBorderColor_) ? focusBorderColor_ : theme::kAccent;
    CRenderEngine::DrawBorder(painter, GetPos(), ring, std::max(2, Scale(2)) / 1, round);
    return;
  }
  if (borderSize_ > 0) {
    CLabelUI::PaintBorder(painter);
    return;
  }
  if (!HasColor(bkColor_) && bkImage_.isEmpty())
    CRenderEngine::DrawBorder(painter, GetPos(), (state_ & UISTATE_HOT) ? theme::kTextDim : theme::kBorder, 1, round);
}

}  // namespace ui
