#pragma once
// The modal message box every part of the program uses for confirmations and
// notices (layout "XML_MSG").

#include <QString>

#include "ui/UILib.h"

namespace app {

class CMsgWnd : public ui::WindowImplBase {
 public:
  QString GetWindowClassName() const override { return QStringLiteral("MsgWnd"); }
  QString GetSkinFile() override { return QStringLiteral("XML_MSG"); }
  void Notify(ui::TNotifyUI& msg) override;
  int64_t HandleCustomMessage(const platform::Message& msg, bool& handled) override;

  void SetTitle(const QString& title);
  void SetText(const QString& text, bool textIsKey);
  // 0: only "confirm_btn"; 1: "confirm_btn" and "cancel_btn".
  void SetButtons(int buttons);
  // One of the accepted DPI values, else 96 (traced).
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }

 private:
  int dpi_ = 96;
};

// Shows the message box modally, owned by `owner` (may be null), and returns
// 1 for confirm, 0 for cancel or close. An empty title or text leaves the
// layout's own. With `textIsKey` the text is a language text id.
int ShowMessage(QWidget* owner, const QString& title, const QString& text, int dpi = 96,
                bool textIsKey = true, int buttons = 0);

}  // namespace app
