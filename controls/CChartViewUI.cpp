#include "controls/CChartViewUI.h"

#include <algorithm>
#include <array>

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>

#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace controls {

namespace {

constexpr std::array<uint32_t, 18> kColors{
    0xFF3D8BFD, 0xFFF2994A, 0xFF27AE60, 0xFFEB5757, 0xFF9B51E0, 0xFFF2C94C, 0xFF2D9CDB, 0xFF6FCF97, 0xFFBB6BD9,
    0xFFE0A96D, 0xFF56CCF2, 0xFFD35400, 0xFF16A085, 0xFFC0392B, 0xFF8E44AD, 0xFF7F8C8D, 0xFFF39C12, 0xFF2C3E50};

constexpr int kLegendWidth = 100;
constexpr int kMargin = 10;
constexpr int kSquare = 18;
constexpr int kRowPitch = 22;
constexpr int kLabelBand = 25;

}  // namespace

uint32_t ChartColor(int k) { return kColors[size_t(((k % 18) + 18) % 18)]; }

CChartViewUI::CChartViewUI() = default;

bool CChartViewUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("ChartView"), Qt::CaseInsensitive) == 0 ||
         ui::CControlUI::IsClass(className);
}

void CChartViewUI::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("view")) {
    if (value == QLatin1String("pie")) SetView(View::Pie);
    else if (value == QLatin1String("histpgram")) SetView(View::Histogram);
  } else if (name == QLatin1String("shadowimage")) {
    shadowImage_ = value;
  } else if (name == QLatin1String("pillarimage")) {
    pillarImage_ = value;
  } else if (name == QLatin1String("shadowimageheight")) {
    shadowHeight_ = value.toInt();
  } else if (name == QLatin1String("pillarimagewidth")) {
    pillarWidth_ = value.toInt();
  } else if (name == QLatin1String("font")) {
    font_ = value.toInt();
  } else if (name == QLatin1String("showhtml")) {
    showHtml_ = value == QLatin1String("true");
  } else if (name == QLatin1String("showtext")) {
    showText_ = value == QLatin1String("true");
  } else {
    ui::CControlUI::SetAttribute(name, value);
    return;
  }
  Invalidate();
}

void CChartViewUI::AddItem(const QString& label, double value) {
  items_.push_back({label, value});
  Invalidate();
}

void CChartViewUI::RemoveAllItems() {
  items_.clear();
  Invalidate();
}

void CChartViewUI::SetView(View view) {
  view_ = view;
  Invalidate();
}

void CChartViewUI::DoPaint(QPainter& painter, const QRect& paintRect) {
  ui::CControlUI::DoPaint(painter, paintRect);
  if (items_.empty()) return;
  painter.save();
  painter.setClipRect(GetPos(), Qt::IntersectClip);
  if (view_ == View::Pie) PaintPie(painter);
  else PaintHistogram(painter);
  painter.restore();
}

void CChartViewUI::DrawLabel(QPainter& painter, const QRect& rc, const QString& text, int flags) {
  const QFont font = manager_ ? manager_->GetFont(font_) : this->font();
  if (showHtml_) {
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    doc.setHtml(text);
    painter.save();
    painter.translate(rc.left(), rc.top() + (rc.height() - int(doc.size().height())) / 2);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, QColor::fromRgba(ui::theme::kText));
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
    return;
  }
  painter.setFont(font);
  painter.setPen(QColor::fromRgba(ui::theme::kText));
  painter.drawText(rc, flags, text);
}

void CChartViewUI::PaintPie(QPainter& painter) {
  double total = 0;
  for (const Item& item : items_) total += std::max(0.0, item.value);
  if (!(total > 0)) return;
  const QRect rc = GetPos();
  const int legend = showText_ ? Scale(kLegendWidth) : 0;
  const int d = std::min(rc.width() - legend - Scale(kMargin), rc.height() - Scale(kMargin));
  if (d <= 0) return;
  const QRect pie(rc.left() + (rc.width() - legend - d) / 2, rc.top() + (rc.height() - d) / 2, d, d);

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(30, 30, 30, 30));
  painter.drawEllipse(pie.adjusted(-4, -4, 4, 4));
  painter.setBrush(QColor(100, 100, 100, 100));
  painter.drawEllipse(pie.adjusted(-1, -1, 1, 1));

  // Qt counts angles counter-clockwise in sixteenths: a clockwise sector
  // is negative.
  double start = 0;
  for (size_t k = 0; k < items_.size(); ++k) {
    const double sweep = std::max(0.0, items_[k].value) / total * 360.0;
    painter.setBrush(QColor::fromRgba(ChartColor(int(k))));
    painter.drawPie(QRectF(pie), int(-start * 16), int(-sweep * 16));
    start += sweep;
  }
  if (!showText_) return;
  const int x = pie.right() + 1 + Scale(kMargin);
  for (size_t k = 0; k < items_.size(); ++k) {
    const int y = pie.top() + int(k) * Scale(kRowPitch);
    ui::CRenderEngine::DrawColor(painter, QRect(x, y, Scale(kSquare), Scale(kSquare)), ChartColor(int(k)));
    DrawLabel(painter, QRect(x + Scale(kSquare) + Scale(4), y, rc.right() - x, Scale(kSquare)), items_[k].label,
              Qt::AlignLeft | Qt::AlignVCenter);
  }
}

void CChartViewUI::PaintHistogram(QPainter& painter) {
  double largest = 0;
  for (const Item& item : items_) largest = std::max(largest, item.value);
  if (!(largest > 0) || pillarWidth_ <= 0) return;
  const QRect rc = GetPos();
  const int band = showText_ ? Scale(kLabelBand) : 0;
  const int shadowH = Scale(std::max(0, shadowHeight_));
  const int base = rc.top() + rc.height() - band - shadowH;  // the pillars stand here
  if (!shadowImage_.isEmpty() && shadowH > 0)
    ui::CRenderEngine::DrawImageString(painter, manager_, QRect(rc.left(), base, rc.width(), shadowH), shadowImage_);
  const int room = base - rc.top() - Scale(kMargin);
  if (room <= 0) return;
  const int slot = rc.width() / int(items_.size());
  const int w = std::min(Scale(pillarWidth_), slot);
  for (size_t k = 0; k < items_.size(); ++k) {
    const int h = int(std::max(0.0, items_[k].value) / largest * room);
    const int x = rc.left() + int(k) * slot + (slot - w) / 2;
    const QRect pillar(x, base - h, w, h);
    if (h > 0) {
      if (pillarImage_.isEmpty()) ui::CRenderEngine::DrawColor(painter, pillar, ChartColor(int(k)));
      else ui::CRenderEngine::DrawImageString(painter, manager_, pillar, pillarImage_);
    }
    if (showText_)
      DrawLabel(painter, QRect(rc.left() + int(k) * slot, base + shadowH, slot, band), items_[k].label,
                Qt::AlignHCenter | Qt::AlignVCenter);
  }
}

}  // namespace controls
