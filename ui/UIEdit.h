#pragma once
// CEditUI: a one-line text edit. It hosts a frameless QLineEdit inside the
// control's text rectangle; the control draws the background, border and
// focus ring. Notifications: "textchanged" on every change the user makes,
// "return" on Enter, "setfocus" and "killfocus". Text set by the program
// sends nothing. The text is the user's and is never taken as a text id.
// CRichEditUI ("RichEdit") is the multi-line kind: Enter starts a new line
// (no "return"), the text scrolls inside, "maxchar" is unlimited unless
// given.

#include "ui/UIButton.h"

class QLineEdit;
class QPlainTextEdit;

namespace ui {

class CEditUI : public CLabelUI {
  Q_OBJECT
 public:
  CEditUI();
  ~CEditUI() override;
  QString GetClass() const override { return QStringLiteral("Edit"); }
  bool IsClass(const QString& className) const override;

  QString GetText() const override;
  void SetText(const QString& text) override;
  int GetMaxChar() const { return maxChar_; }
  void SetMaxChar(int max);
  bool IsNumberOnly() const { return numberOnly_; }
  void SetNumberOnly(bool on);
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  bool IsPasswordMode() const { return password_; }
  void SetPasswordMode(bool on);
  QString GetPromptText() const { return prompt_; }
  void SetPromptText(const QString& text);
  void SetSel(int start, int end);
  void SetSelAll();
  void SetEnabled(bool enabled = true) override;
  void SetNativeEditBkColor(uint32_t argb);

  void SetAttribute(const QString& name, const QString& value) override;
  void ReloadText() override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintText(QPainter&) override {}
  void PaintBorder(QPainter& painter) override;
  void DoInit() override;

  // The Qt edit inside: a QLineEdit, or for the multi-line kind a
  // QPlainTextEdit (NativeEdit is then null).
  QLineEdit* NativeEdit() const { return edit_; }
  QPlainTextEdit* NativeTextEdit() const { return area_; }
  QWidget* Native() const;

 protected:
  explicit CEditUI(bool multiLine);
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyLook();
  void ApplyPrompt();
  QLineEdit* edit_ = nullptr;       // Qt-owned child, one-line kind
  QPlainTextEdit* area_ = nullptr;  // Qt-owned child, multi-line kind

 protected:
  int maxChar_ = 255;

 private:
  bool numberOnly_ = false;
  bool readOnly_ = false;
  bool password_ = false;
  QString prompt_;
  uint32_t nativeBkColor_ = 0;
};

class CRichEditUI : public CEditUI {
  Q_OBJECT
 public:
  CRichEditUI();
  QString GetClass() const override { return QStringLiteral("RichEdit"); }
  bool IsClass(const QString& className) const override;
};

}  // namespace ui
