#pragma once
// The skin frame: a drop-down panel under the title bar's skin button
// (layout "skin.xml") offering background images and colours. A choice is
// broadcast to the skin observer; image choices are also written to
// "main.ini" in the user data folder (the program never reads it back).
// The frame closes when it loses the focus.

#include <filesystem>
#include <functional>

#include "ui/UILib.h"

namespace app {

inline constexpr const char* kDefaultSkinImage = "common/background.png";

class CSkinFrame : public ui::WindowImplBase {
 public:
  // Asks the user for an image file; an empty result means cancelled.
  using AskImage = std::function<QString(QWidget* parent)>;

  CSkinFrame();
  QString GetWindowClassName() const override { return QStringLiteral("UISkinFrame"); }
  QString GetSkinFile() override { return QStringLiteral("skin.xml"); }
  void Notify(ui::TNotifyUI& msg) override;
  int64_t HandleCustomMessage(const platform::Message& msg, bool& handled) override;

  // Creates and shows the frame below `button` of `mainWnd`: its right edge
  // at the button's right edge, its top at the button's bottom.
  bool Open(ui::CWindowWnd& mainWnd, ui::CControlUI* button);
  void SetAskImage(AskImage ask) { askImage_ = std::move(ask); }
  // Called once the frame has been destroyed (its owner may free it then).
  void SetOnFinal(std::function<void()> onFinal) { onFinal_ = std::move(onFinal); }

 protected:
  void OnFinalMessage() override;

 private:
  void SelectTab(int page);

  AskImage askImage_;
  std::function<void()> onFinal_;
  bool asking_ = false;
};

// "main.ini" in the user data folder.
std::filesystem::path SkinSettingsFile();

}  // namespace app
