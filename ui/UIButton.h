#pragma once
// Text and button controls: CLabelUI (text with font, colour, alignment and
// padding), CButtonUI (images and colours per state: normal, hot, pushed,
// focused, disabled; "click" on release inside), COptionUI (check or radio by
// group; "selectchanged"; may select a page of a tab layout) and
// CCheckBoxUI.

#include "ui/UIControl.h"

namespace ui {

class CLabelUI : public CControlUI {
  Q_OBJECT
 public:
  CLabelUI();
  QString GetClass() const override { return QStringLiteral("Label"); }
  bool IsClass(const QString& className) const override;
  void SetText(const QString& text) override;
  void ReloadText() override;

  // Qt::Alignment flags plus Qt::TextWordWrap when word breaking.
  int GetTextStyle() const { return textStyle_; }
  void SetTextStyle(int style);
  uint32_t GetTextColor() const { return textColor_; }
  void SetTextColor(uint32_t argb);
  uint32_t GetDisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(uint32_t argb);
  int GetFont() const { return font_; }
  void SetFont(int id);
  QMargins GetTextPadding() const { return textPadding_; }
  void SetTextPadding(const QMargins& padding);
  bool IsEndEllipsis() const { return endEllipsis_; }

  void SetAttribute(const QString& name, const QString& value) override;
  void PaintText(QPainter& painter) override;
  QSize EstimateSize(QSize available) const override;

 protected:
  QFont CurrentFont() const;
  void DrawText(QPainter& painter, const QString& text, uint32_t color);
  QRect TextRect() const;

  int textStyle_ = Qt::AlignLeft | Qt::AlignVCenter;
  uint32_t textColor_ = 0;
  uint32_t disabledTextColor_ = 0;
  int font_ = -1;
  QMargins textPadding_;
  bool endEllipsis_ = false;
  bool autoCalcWidth_ = false;
};

class CButtonUI : public CLabelUI {
  Q_OBJECT
 public:
  CButtonUI();
  QString GetClass() const override { return QStringLiteral("Button"); }
  bool IsClass(const QString& className) const override;

  QString GetNormalImage() const { return normalImage_; }
  void SetNormalImage(const QString& image);
  QString GetHotImage() const { return hotImage_; }
  void SetHotImage(const QString& image);
  QString GetPushedImage() const { return pushedImage_; }
  void SetPushedImage(const QString& image);
  QString GetFocusedImage() const { return focusedImage_; }
  void SetFocusedImage(const QString& image);
  QString GetDisabledImage() const { return disabledImage_; }
  void SetDisabledImage(const QString& image);
  QString GetHotForeImage() const { return hotForeImage_; }
  void SetHotBkColor(uint32_t argb);
  uint32_t GetHotBkColor() const { return hotBkColor_; }
  void SetPushedBkColor(uint32_t argb);
  void SetDisabledBkColor(uint32_t argb);
  void SetHotTextColor(uint32_t argb);
  void SetPushedTextColor(uint32_t argb);
  void SetFocusedTextColor(uint32_t argb);
  // When a tab layout is bound, activating the button selects that page.
  void BindTabIndex(int index);
  void BindTabLayoutName(const QString& name);
  int GetBindTabLayoutIndex() const { return bindTabIndex_; }
  QString GetBindTabLayoutName() const { return bindTabLayout_; }
  void BindTriggerTabSel(int index = -1);

  bool Activate() override;
  void SetEnabled(bool enabled = true) override;
  void SetAttribute(const QString& name, const QString& value) override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;
  void PaintBorder(QPainter& painter) override;

 protected:
  // True when neither an image nor a colour of the layout styles the
  // button, so the theme's own look is drawn.
  bool UsesThemeLook() const;
  uint32_t StateTextColor() const;

  QString normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
  QString hotForeImage_, pushedForeImage_;
  uint32_t hotBkColor_ = 0, pushedBkColor_ = 0, disabledBkColor_ = 0;
  uint32_t hotTextColor_ = 0, pushedTextColor_ = 0, focusedTextColor_ = 0;
  int bindTabIndex_ = -1;
  QString bindTabLayout_;
  bool themeLook_ = true;
};

class COptionUI : public CButtonUI {
  Q_OBJECT
 public:
  COptionUI();
  ~COptionUI() override;
  QString GetClass() const override { return QStringLiteral("Option"); }
  bool IsClass(const QString& className) const override;

  QString GetGroup() const { return group_; }
  void SetGroup(const QString& group);
  bool IsSelected() const { return selected_; }
  // Sends "selectchanged" (to every member of a group whose state changes,
  // the newly selected last) when `notify` and the state changed.
  virtual void Selected(bool selected, bool notify = true);
  void SetSelectedImage(const QString& image);
  QString GetSelectedImage() const { return selectedImage_; }
  void SetSelectedHotImage(const QString& image);
  void SetSelectedBkColor(uint32_t argb);
  uint32_t GetSelectedBkColor() const { return selectedBkColor_; }
  void SetSelectedTextColor(uint32_t argb);

  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  bool Activate() override;
  void SetAttribute(const QString& name, const QString& value) override;
  void PaintBkColor(QPainter& painter) override;
  void PaintStatusImage(QPainter& painter) override;
  void PaintText(QPainter& painter) override;
  void PaintBorder(QPainter& painter) override;

 protected:
  // Options drawn as check marks or radio dots (the theme's look for plain
  // options with no images); false for tab-like options with a background.
  bool DrawsIndicator() const;
  bool selected_ = false;
  QString group_;
  QString selectedImage_, selectedHotImage_, selectedForeImage_;
  uint32_t selectedBkColor_ = 0, selectedTextColor_ = 0;
  int indicator_ = 0;  // "indicator": 0 none (a toggle chip), 1 check box, 2 radio dot
};

class CCheckBoxUI : public COptionUI {
  Q_OBJECT
 public:
  CCheckBoxUI();
  QString GetClass() const override { return QStringLiteral("CheckBox"); }
  bool IsClass(const QString& className) const override;
  void SetCheck(bool check, bool notify = true) { Selected(check, notify); }
  bool GetCheck() const { return IsSelected(); }
};

}  // namespace ui
