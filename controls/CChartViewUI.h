#pragma once
// CChartViewUI ("ChartView"): a pie or histogram chart of labelled values,
// drawn after the control's own look.
//
// Pie: a disc as large as the control allows (100 pixels kept on the right
// for the legend when texts are shown), centred in the space left, with two
// soft shadow rings; item k is a sector of value / total x 360 degrees,
// clockwise from the positive x axis where the previous one ended, in
// colour k mod 18 of ChartColor; the legend has an 18 x 18 square and the
// label (HTML when "showhtml") per item, rows 22 pixels apart.
// Histogram: the shadow image along the bottom (raised 25 pixels for the
// labels when texts are shown); one pillar per item, its height the item's
// share of the largest value, "pillarimagewidth" wide (the pillar image, or
// the item's colour when there is none), centred in equal slots; labels
// under the pillars.
// Nothing is drawn over the background for a chart without items, a total
// or largest value that is not above zero, or a pillar width of 0. Values
// below zero count as zero. Sizes are 96-DPI values.
//
// Attributes (names and values compared with case): "view" ("pie" or
// "histpgram"), "shadowimage", "pillarimage", "shadowimageheight",
// "pillarimagewidth", "font", "showhtml", "showtext" ("true" on, anything
// else off). Others are the base control's.

#include <cstdint>
#include <vector>

#include <QString>

#include "ui/UIControl.h"

namespace controls {

// The colour of item k (k mod 18), opaque ARGB.
uint32_t ChartColor(int k);

class CChartViewUI : public ui::CControlUI {
  Q_OBJECT
 public:
  enum class View { Pie, Histogram };
  struct Item {
    QString label;
    double value = 0;
  };

  CChartViewUI();
  bool IsClass(const QString& className) const override;
  void SetAttribute(const QString& name, const QString& value) override;

  void AddItem(const QString& label, double value);
  void RemoveAllItems();
  const std::vector<Item>& Items() const { return items_; }
  View GetView() const { return view_; }
  void SetView(View view);
  bool IsShowText() const { return showText_; }
  bool IsShowHtml() const { return showHtml_; }
  int PillarWidth() const { return pillarWidth_; }
  int ShadowHeight() const { return shadowHeight_; }

  void DoPaint(QPainter& painter, const QRect& paintRect) override;

 private:
  void PaintPie(QPainter& painter);
  void PaintHistogram(QPainter& painter);
  void DrawLabel(QPainter& painter, const QRect& rc, const QString& text, int flags);

  std::vector<Item> items_;
  View view_ = View::Pie;
  QString shadowImage_, pillarImage_;
  int shadowHeight_ = 0;
  int pillarWidth_ = 0;
  int font_ = -1;
  bool showHtml_ = false;
  bool showText_ = true;
};

}  // namespace controls

using controls::CChartViewUI;
