#include "ui/UIScreenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

#include "platform/Paths.h"
#include "platform/Trace.h"

namespace ui {

QString ScreensFolder() {
  const QString env = qEnvironmentVariable("VX27_SCREENS_DIR");
  if (!env.isEmpty()) return env;
  QDir install(QString::fromStdString(platform::InstallFolder().string()));
  return QDir::cleanPath(install.filePath(QStringLiteral("../screens")));
}

QString SaveScreenshot(QWidget* widget, const QString& name) {
  if (!widget) return {};
  const QString folder = ScreensFolder();
  if (!QDir().mkpath(folder)) {
    Trace(QStringLiteral("ui: cannot create %1").arg(folder).toStdString());
    return {};
  }
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  const QPixmap shot = widget->grab();
  if (shot.isNull() || !shot.save(path, "PNG")) {
    Trace(QStringLiteral("ui: cannot write %1").arg(path).toStdString());
    return {};
  }
  return path;
}

}  // namespace ui
