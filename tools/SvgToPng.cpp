// vx27_svg2png: renders the skin's SVG sources to the PNGs the layouts name.
//
//   vx27_svg2png <in.svg> <out.png> [scale]
//
// The picture is drawn at `scale` times its own size (default 2, so that a
// 96-DPI layout stays sharp at 144 DPI). Exit code 0 on success, 1 when the
// SVG cannot be read or the PNG cannot be written, 2 on bad arguments.

#include <cstdio>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: vx27_svg2png <in.svg> <out.png> [scale]\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const double scale = argc == 4 ? QString::fromLocal8Bit(argv[3]).toDouble() : 2.0;
  if (scale <= 0 || scale > 16) {
    std::fprintf(stderr, "vx27_svg2png: scale must be above 0 and at most 16\n");
    return 2;
  }
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "vx27_svg2png: cannot read %s\n", argv[1]);
    return 1;
  }
  const QSize size = (QSizeF(svg.defaultSize()) * scale).toSize();
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  svg.render(&painter);
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "vx27_svg2png: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
