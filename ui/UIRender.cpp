#include "ui/UIRender.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <map>
#include <memory>

#include "platform/Trace.h"
#include "ui/UIManager.h"
#include "ui/UIResource.h"

namespace ui {

uint32_t ParseColor(const QString& text, uint32_t fallback) {
  QString t = text.trimmed();
  if (t.isEmpty()) return fallback;
  bool ok = false;
  if (t.startsWith('#')) {
    t = t.mid(1);
    uint32_t v = t.toUInt(&ok, 16);
    if (!ok) return fallback;
    return t.size() <= 6 ? (0xFF000000u | v) : v;
  }
  if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
    uint32_t v = t.mid(2).toUInt(&ok, 16);
    return ok ? v : fallback;
  }
  uint32_t v = t.toUInt(&ok, 10);
  return ok ? v : fallback;
}

bool ParseBool(const QString& text) {
  return text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1");
}

static std::array<int, 4> ParseFour(const QString& text) {
  std::array<int, 4> v{0, 0, 0, 0};
  const auto parts = text.split(',');
  for (int i = 0; i < 4 && i < parts.size(); ++i) v[size_t(i)] = parts[i].trimmed().toInt();
  return v;
}

QRect ParseRect(const QString& text) {
  auto v = ParseFour(text);
  return QRect(QPoint(v[0], v[1]), QPoint(v[2] - 1, v[3] - 1));
}

QMargins ParseMargins(const QString& text) {
  auto v = ParseFour(text);
  return QMargins(v[0], v[1], v[2], v[3]);
}

QSize ParseSize(const QString& text) {
  auto v = ParseFour(text);
  return QSize(v[0], v[1]);
}

// Splits "key='value' key2='value 2'" into pairs; a text without '=' is a
// bare file name.
TDrawInfo ParseImageString(const QString& description) {
  TDrawInfo info;
  const QString d = description.trimmed();
  if (d.isEmpty()) return info;
  if (!d.contains('=')) {
    info.file = d;
    info.valid = true;
    return info;
  }
  int i = 0;
  while (i < d.size()) {
    while (i < d.size() && d[i].isSpace()) ++i;
    int eq = d.indexOf('=', i);
    if (eq < 0) break;
    QString key = d.mid(i, eq - i).trimmed().toLower();
    int q = eq + 1;
    if (q >= d.size() || (d[q] != '\'' && d[q] != '"')) break;
    QChar quote = d[q];
    int end = d.indexOf(quote, q + 1);
    if (end < 0) break;
    QString value = d.mid(q + 1, end - q - 1);
    i = end + 1;
    if (key == QLatin1String("file") || key == QLatin1String("res")) info.file = value;
    else if (key == QLatin1String("source")) info.source = ParseRect(value);
    else if (key == QLatin1String("corner")) info.corner = ParseMargins(value);
    else if (key == QLatin1String("dest")) info.dest = ParseRect(value);
    else if (key == QLatin1String("fade")) info.fade = std::clamp(value.toInt(), 0, 255);
    else if (key == QLatin1String("xtiled")) info.xtiled = ParseBool(value);
    else if (key == QLatin1String("ytiled")) info.ytiled = ParseBool(value);
    else if (key == QLatin1String("hole")) info.hole = ParseBool(value);
  }
  info.valid = !info.file.isEmpty();
  return info;
}

namespace {

// Images by resolved path (stable addresses: draws keep pointers), and the
// look-ups by the name a layout gives and by the whole description, so a
// draw neither touches the file system nor parses the description again; a
// missing image is looked for (and traced) once.
struct ImageCache {
  std::map<QString, std::unique_ptr<TImageInfo>> images;
  QHash<QString, bool> missing;
  QHash<QString, const TImageInfo*> byName;  // null: missing
  struct Described {
    TDrawInfo info;
    const TImageInfo* image = nullptr;
  };
  QHash<QString, Described> byDescription;
};

ImageCache& Cache() {
  static ImageCache cache;
  return cache;
}

QString FindCaseInsensitive(const QString& path) {
  if (QFileInfo::exists(path)) return path;
  const QStringList parts = path.split('/');
  QString current = path.startsWith('/') ? QStringLiteral("/") : QString();
  for (int i = 0; i < parts.size(); ++i) {
    const QString& part = parts[i];
    if (part.isEmpty()) continue;
    QString next = current.isEmpty() ? part : QDir(current).filePath(part);
    if (!QFileInfo::exists(next)) {
      QDir dir(current.isEmpty() ? QStringLiteral(".") : current);
      const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
      auto it = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
        return e.compare(part, Qt::CaseInsensitive) == 0;
      });
      if (it == entries.end()) return path;
      next = current.isEmpty() ? *it : dir.filePath(*it);
    }
    current = next;
  }
  return current;
}

// Nine-slice drawing of `source` of `image` into `dest`.
void DrawNineSlice(QPainter& p, const QImage& image, QRect source, QRect dest, QMargins corner,
                   double scale) {
  if (corner.isNull()) {
    p.drawImage(dest, image, source);
    return;
  }
  const int l = corner.left(), t = corner.top(), r = corner.right(), b = corner.bottom();
  const int dl = int(l * scale), dt = int(t * scale), dr = int(r * scale), db = int(b * scale);
  const int sx[4] = {source.left(), source.left() + l, source.right() + 1 - r, source.right() + 1};
  const int sy[4] = {source.top(), source.top() + t, source.bottom() + 1 - b, source.bottom() + 1};
  const int dx[4] = {dest.left(), dest.left() + dl, dest.right() + 1 - dr, dest.right() + 1};
  const int dy[4] = {dest.top(), dest.top() + dt, dest.bottom() + 1 - db, dest.bottom() + 1};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      QRect s(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
      QRect d(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1));
      if (s.width() > 0 && s.height() > 0 && d.width() > 0 && d.height() > 0) p.drawImage(d, image, s);
    }
  }
}

}  // namespace

QString ResolveSkinPath(const QString& name) {
  QString n = name.trimmed();
  n.replace('\\', '/');
  const QString indexed = CResourceManager::GetInstance().GetImagePath(n);
  if (!indexed.isEmpty()) n = indexed;
  if (QDir::isRelativePath(n)) n = QDir(CPaintManagerUI::GetResourcePath()).filePath(n);
  return FindCaseInsensitive(QDir::cleanPath(n));
}

const TImageInfo* CRenderEngine::GetImage(const QString& file) {
  auto& cache = Cache();
  if (auto known = cache.byName.constFind(file); known != cache.byName.cend()) return known.value();
  const QString path = ResolveSkinPath(file);
  const TImageInfo* found = nullptr;
  if (auto it = cache.images.find(path); it != cache.images.end()) {
    found = it->second.get();
  } else if (!cache.missing.contains(path)) {
    QImage image(path);
    if (image.isNull()) {
      cache.missing.insert(path, true);
      Trace(QStringLiteral("ui: image not found: %1").arg(file).toStdString());
    } else {
      auto info = std::make_unique<TImageInfo>();
      info->nX = image.width();
      info->nY = image.height();
      info->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
      found = cache.images.emplace(path, std::move(info)).first->second.get();
    }
  }
  cache.byName.insert(file, found);
  return found;
}

void CRenderEngine::ClearImageCache() {
  auto& cache = Cache();
  cache.byDescription.clear();
  cache.byName.clear();
  cache.images.clear();
  cache.missing.clear();
}

bool CRenderEngine::DrawImageString(QPainter& painter, CPaintManagerUI* manager, const QRect& rc,
                                    const QString& description, uint32_t tintColor, int tintLevel,
                                    bool tint) {
  auto& cache = Cache();
  auto described = cache.byDescription.constFind(description);
  if (described == cache.byDescription.cend()) {
    ImageCache::Described d;
    d.info = ParseImageString(description);
    if (d.info.valid) d.image = GetImage(d.info.file);
    described = cache.byDescription.insert(description, d);
  }
  const TDrawInfo& info = described->info;
  const TImageInfo* img = described->image;
  if (!info.valid || !img) return false;
  const double scale = manager ? manager->GetDPIObj().ScaleFactor() : 1.0;
  QRect source = info.source.isEmpty() ? img->image.rect() : info.source.intersected(img->image.rect());
  QRect dest = rc;
  if (!info.dest.isEmpty()) {
    dest = QRect(rc.left() + int(info.dest.left() * scale), rc.top() + int(info.dest.top() * scale),
                 int(info.dest.width() * scale), int(info.dest.height() * scale))
               .intersected(rc);
  }
  if (dest.isEmpty() || source.isEmpty()) return false;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.setOpacity(painter.opacity() * info.fade / 255.0);
  if (tint && tintLevel > 0) {
    QImage tinted = img->image.copy(source);
    QPainter tp(&tinted);
    tp.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    tp.setOpacity(std::clamp(tintLevel, 0, 255) / 255.0);
    tp.fillRect(tinted.rect(), QColor::fromRgba(tintColor | 0xFF000000u));
    tp.end();
    DrawNineSlice(painter, tinted, tinted.rect(), dest, info.corner, scale);
  } else if (info.xtiled || info.ytiled) {
    const int w = info.xtiled ? int(source.width() * scale) : dest.width();
    const int h = info.ytiled ? int(source.height() * scale) : dest.height();
    painter.setClipRect(dest, Qt::IntersectClip);
    for (int y = dest.top(); y < dest.bottom() + 1; y += std::max(1, h))
      for (int x = dest.left(); x < dest.right() + 1; x += std::max(1, w))
        painter.drawImage(QRect(x, y, w, h), img->image, source);
  } else {
    DrawNineSlice(painter, img->image, source, dest, info.corner, scale);
  }
  painter.restore();
  return true;
}

void CRenderEngine::DrawColor(QPainter& painter, const QRect& rc, uint32_t argb, QSize round) {
  if (!HasColor(argb) || rc.isEmpty()) return;
  const QColor c = QColor::fromRgba(argb);
  if (round.width() > 0 || round.height() > 0) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(c);
    painter.drawRoundedRect(QRectF(rc), round.width() / 2.0, round.height() / 2.0);
    painter.restore();
  } else {
    painter.fillRect(rc, c);
  }
}

void CRenderEngine::DrawBorder(QPainter& painter, const QRect& rc, uint32_t argb, int width,
                               QSize round) {
  if (!HasColor(argb) || width <= 0 || rc.isEmpty()) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QPen pen(QColor::fromRgba(argb));
  pen.setWidthF(width);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const QRectF r = QRectF(rc).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0);
  if (round.width() > 0 || round.height() > 0)
    painter.drawRoundedRect(r, round.width() / 2.0, round.height() / 2.0);
  else
    painter.drawRect(r);
  painter.restore();
}

void CRenderEngine::DrawFocusRing(QPainter& painter, const QRect& rc, uint32_t argb, QSize round) {
  QSize r(std::max(round.width(), 4), std::max(round.height(), 4));
  DrawBorder(painter, rc, argb, 2, r);
}

}  // namespace ui
