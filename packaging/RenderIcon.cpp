// vx27_render_icon <svg> <hicolor folder> <name> <size>...: draws the program's
// icon at each size into <hicolor folder>/<size>x<size>/apps/<name>.png, the
// layout of the desktop's icon theme. Runs at build time; the icon has no text,
// so no GUI application object (and no display) is needed.

#include <cstdio>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: vx27_render_icon <svg> <hicolor folder> <name> <size>...\n");
    return 2;
  }
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "vx27_render_icon: not a usable SVG: %s\n", argv[1]);
    return 1;
  }
  for (int i = 4; i < argc; ++i) {
    const int size = QByteArray(argv[i]).toInt();
    if (size <= 0 || size > 1024) {
      std::fprintf(stderr, "vx27_render_icon: bad size %s\n", argv[i]);
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      svg.render(&painter);
    }
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    const QString file = folder + QStringLiteral("/%1.png").arg(QString::fromLocal8Bit(argv[3]));
    if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
      std::fprintf(stderr, "vx27_render_icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
