// vx27_svg2png: renders an SVG to PNG, for the skin's images and the program's
// icon in the desktop's icon sizes.
//
//   vx27_svg2png <in.svg> <out.png> [scale]
//   vx27_svg2png <in.svg> <out.png> --size <pixels>
//
// The picture is drawn at `scale` times its own size (default 2, so that a
// 96-DPI layout stays sharp at 144 DPI), or as a square of the given pixels.
// The output's folder is made when missing. Exit code 0 on success, 1 when the
// SVG cannot be read or the PNG cannot be written, 2 on bad arguments.

#include <cstdio>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char** argv) {
  const bool fixedSize = argc == 5 && QByteArray(argv[3]) == "--size";
  if (argc < 3 || argc > 5 || (argc == 5 && !fixedSize)) {
    std::fprintf(stderr, "usage: vx27_svg2png <in.svg> <out.png> [scale | --size <pixels>]\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int pixels = fixedSize ? QByteArray(argv[4]).toInt() : 0;
  const double scale = argc == 4 ? QString::fromLocal8Bit(argv[3]).toDouble() : 2.0;
  if (fixedSize ? (pixels <= 0 || pixels > 1024) : (scale <= 0 || scale > 16)) {
    std::fprintf(stderr, "vx27_svg2png: scale must be above 0 and at most 16, pixels 1 to 1024\n");
    return 2;
  }
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "vx27_svg2png: cannot read %s\n", argv[1]);
    return 1;
  }
  const QSize size = fixedSize ? QSize(pixels, pixels) : (QSizeF(svg.defaultSize()) * scale).toSize();
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  svg.render(&painter);
  painter.end();
  const QString out = QString::fromLocal8Bit(argv[2]);
  if (!QDir().mkpath(QFileInfo(out).absolutePath()) || !image.save(out, "PNG")) {
    std::fprintf(stderr, "vx27_svg2png: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
