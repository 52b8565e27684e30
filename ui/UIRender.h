#pragma once
// Drawing helpers shared by every control: attribute value parsing (colours,
// rectangles, sizes, booleans), image description strings and the image cache,
// and resolution of the skin's relative paths.
//
// An image description is either a bare file name ("common/btn.png") or a list
// of key='value' pairs: file (or res), source, corner, dest, fade, xtiled,
// ytiled, hole. Every number in it is a 96-DPI value; drawing scales dest and
// corner by the DPI it is given.

#include <cstdint>

#include <QImage>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace ui {

class CPaintManagerUI;

// "#AARRGGBB", "0xAARRGGBB", "#RRGGBB" (opaque) or a decimal number. Returns
// `fallback` when the text is not a colour.
uint32_t ParseColor(const QString& text, uint32_t fallback = 0);
bool ParseBool(const QString& text);
// "l,t,r,b" (missing parts are 0).
QRect ParseRect(const QString& text);
QMargins ParseMargins(const QString& text);
QSize ParseSize(const QString& text);

// A colour is drawn only when its alpha is not zero, so 0 means "none".
inline bool HasColor(uint32_t argb) { return (argb >> 24) != 0; }

struct TDrawInfo {
  QString file;
  QRect source;        // empty: the whole image
  QMargins corner;     // nine-slice borders, image pixels
  QRect dest;          // relative to the control's rectangle; empty: the whole rectangle
  int fade = 255;
  bool xtiled = false;
  bool ytiled = false;
  bool hole = false;
  bool valid = false;
};

TDrawInfo ParseImageString(const QString& description);

struct TImageInfo {
  QImage image;
  int nX = 0;
  int nY = 0;
};

class CRenderEngine {
 public:
  // Draws a described image over `rc` (window coordinates). With `tint` the
  // image's opaque pixels are blended toward `tintColor` by `tintLevel`/255.
  static bool DrawImageString(QPainter& painter, CPaintManagerUI* manager, const QRect& rc,
                              const QString& description, uint32_t tintColor = 0,
                              int tintLevel = 0, bool tint = false);
  static void DrawColor(QPainter& painter, const QRect& rc, uint32_t argb, QSize round = {});
  static void DrawBorder(QPainter& painter, const QRect& rc, uint32_t argb, int width,
                         QSize round = {});
  static void DrawFocusRing(QPainter& painter, const QRect& rc, uint32_t argb, QSize round);
  // The image of a file name in the skin (resource index names work too);
  // cached; null when it cannot be loaded (traced once).
  static const TImageInfo* GetImage(const QString& file);
  static void ClearImageCache();
};

// A path of the skin: backslashes become '/', a name of the resource index is
// replaced by its path, a relative path is taken from the resource folder, and
// a component whose case differs from the file on disk still finds it.
QString ResolveSkinPath(const QString& name);

}  // namespace ui
