#include "ui/UIEdit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UIResource.h"
#include "ui/UITheme.h"

namespace ui {

CEditUI::CEditUI() : CEditUI(false) {}

CEditUI::CEditUI(bool multiLine) {
  resourceText_ = false;
  textPadding_ = multiLine ? QMargins(4, 4, 4, 4) : QMargins(6, 0, 6, 0);
  if (multiLine) {
    area_ = new QPlainTextEdit(this);  // Qt-owned child
    area_->setFrameShape(QFrame::NoFrame);
    area_->setTabChangesFocus(true);
    area_->viewport()->setAutoFillBackground(false);
    connect(area_, &QPlainTextEdit::textChanged, this, [this] {
      // Only the user's changes: SetText blocks the signal.
      if (maxChar_ > 0 && area_->toPlainText().size() > maxChar_) {
        const QSignalBlocker block(area_);
        QTextCursor cursor = area_->textCursor();
        area_->setPlainText(area_->toPlainText().left(maxChar_));
        cursor.setPosition(int(area_->toPlainText().size()));
        area_->setTextCursor(cursor);
      }
      NotifyAlive(notify::kTextChanged);
    });
  } else {
    edit_ = new QLineEdit(this);  // Qt-owned child
    edit_->setFrame(false);
    edit_->setMaxLength(maxChar_);
    connect(edit_, &QLineEdit::textEdited, this, [this] { NotifyAlive(notify::kTextChanged); });
    connect(edit_, &QLineEdit::returnPressed, this, [this] { NotifyAlive(notify::kReturn); });
  }
  Native()->setAttribute(Qt::WA_MacShowFocusRect, false);
  Native()->installEventFilter(this);
  setFocusProxy(Native());
  ApplyLook();
}

CEditUI::~CEditUI() { Native()->removeEventFilter(this); }

QWidget* CEditUI::Native() const { return edit_ ? static_cast<QWidget*>(edit_) : static_cast<QWidget*>(area_); }

CRichEditUI::CRichEditUI() : CEditUI(true) { maxChar_ = 0; }

bool CRichEditUI::IsClass(const QString& c) const {
  return c.compare(QLatin1String("RichEdit"), Qt::CaseInsensitive) == 0 || CEditUI::IsClass(c);
}

bool CEditUI::IsClass(const QString& c) const {
  return c.compare(QLatin1String("Edit"), Qt::CaseInsensitive) == 0 || CLabelUI::IsClass(c);
}

QString CEditUI::GetText() const { return edit_ ? edit_->text() : area_->toPlainText(); }

void CEditUI::SetText(const QString& text) {
  text_ = text;
  const QSignalBlocker block(Native());
  if (area_) {
    area_->setPlainText(text);
    return;
  }
  edit_->setText(text);
  edit_->setCursorPosition(0);
}

void CEditUI::SetMaxChar(int max) {
  maxChar_ = max > 0 ? max : 32767;
  if (edit_) edit_->setMaxLength(maxChar_);
}

void CEditUI::SetNumberOnly(bool on) {
  numberOnly_ = on;
  if (!edit_) return;  // a multi-line edit takes any text
  if (on) {
    edit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit_));
  } else {
    edit_->setValidator(nullptr);
  }
}

void CEditUI::SetReadOnly(bool on) {
  readOnly_ = on;
  if (edit_) edit_->setReadOnly(on);
  else area_->setReadOnly(on);
  if (on) state_ |= UISTATE_READONLY;
  else state_ &= ~UISTATE_READONLY;
  Invalidate();
}

void CEditUI::SetPasswordMode(bool on) {
  password_ = on;
  if (edit_) edit_->setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
}

void CEditUI::SetPromptText(const QString& text) {
  prompt_ = text;
  ApplyPrompt();
}

void CEditUI::ApplyPrompt() {
  const QString shown = CResourceManager::GetInstance().ResolveText(prompt_);
  if (edit_) edit_->setPlaceholderText(shown);
  else area_->setPlaceholderText(shown);
}

void CEditUI::SetSel(int start, int end) {
  if (end < 0) end = int(GetText().size());
  if (edit_) {
    edit_->setSelection(start, end - start);
    return;
  }
  QTextCursor cursor = area_->textCursor();
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  area_->setTextCursor(cursor);
}

void CEditUI::SetSelAll() {
  if (edit_) edit_->selectAll();
  else area_->selectAll();
}

void CEditUI::SetEnabled(bool enabled) {
  CLabelUI::SetEnabled(enabled);
  Native()->setEnabled(enabled);
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
  if (!prompt_.isEmpty()) ApplyPrompt();
  ApplyLook();
}

void CEditUI::DoInit() { ApplyLook(); }

void CEditUI::ApplyLook() {
  QWidget* native = Native();
  QPalette pal = native->palette();
  const uint32_t text = IsEnabled() ? TextColorFor(textColor_) : theme::kTextDisabled;
  pal.setColor(QPalette::Text, QColor::fromRgba(text));
  pal.setColor(QPalette::PlaceholderText, QColor::fromRgba(theme::kTextDim));
  pal.setColor(QPalette::Base, HasColor(nativeBkColor_) ? QColor::fromRgba(nativeBkColor_) : QColor(Qt::transparent));
  pal.setColor(QPalette::Highlight, QColor::fromRgba(theme::kAccent));
  pal.setColor(QPalette::HighlightedText, Qt::white);
  native->setPalette(pal);
  native->setAutoFillBackground(HasColor(nativeBkColor_));
  if (manager_) native->setFont(CurrentFont());
  if (edit_)
    edit_->setAlignment(Qt::Alignment(textStyle_ & (Qt::AlignLeft | Qt::AlignHCenter | Qt::AlignRight)) | Qt::AlignVCenter);
  native->setGeometry(rect().adjusted(Scale(textPadding_.left()), Scale(textPadding_.top()) + 1,
                                     -Scale(textPadding_.right()), -Scale(textPadding_.bottom()) - 1));
}

void CEditUI::resizeEvent(QResizeEvent*) { ApplyLook(); }

bool CEditUI::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Native()) {
    if (event->type() == QEvent::FocusIn) {
      state_ |= UISTATE_FOCUSED;
      if (manager_) manager_->SetFocus(this);
      Invalidate();
      if (!NotifyAlive(notify::kSetFocus)) return false;
    } else if (event->type() == QEvent::FocusOut) {
      state_ &= ~UISTATE_FOCUSED;
      Invalidate();
      if (!NotifyAlive(notify::kKillFocus)) return false;
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
    Native()->setFocus(Qt::MouseFocusReason);
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
