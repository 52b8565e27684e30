#pragma once
// The music light window (layout "music.xml"): four named colour groups, one
// of them selected, and three sliders (0..9) for the selected group's red,
// green and blue. Opened modally by the main window on a copy of its record;
// OK (result 1) hands the edited copy back, the close button, a system close
// and a broken layout end it with 0.

#include "musiclight/AudioFile.h"
#include "ui/UILib.h"

namespace musiclight {

class MusicWnd : public ui::WindowImplBase {
 public:
  explicit MusicWnd(AudioLightInfo info) : info_(std::move(info)) {}

  QString GetWindowClassName() const override { return QStringLiteral("MusicWnd"); }
  QString GetSkinFile() override { return QStringLiteral("music.xml"); }
  void Notify(ui::TNotifyUI& msg) override;

  // Creates the window over `owner` (369 x 276 at `dpi`, centred); false when
  // the layout cannot be built.
  bool Open(QWidget* owner, int dpi);

  const AudioLightInfo& Info() const { return info_; }
  bool Initialised() const { return initialised_; }

 private:
  void Initialise();
  void ShowGroup();
  // The first selected of the four options; -1 (traced, window closed with
  // 0) when a group option or a slider is missing.
  int SelectedGroup();
  ui::CSliderUI* Slider(int component);

  AudioLightInfo info_;
  bool initialised_ = false;
};

}  // namespace musiclight
