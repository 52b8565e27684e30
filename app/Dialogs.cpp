#include "app/Dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "app/MsgWnd.h"

namespace app {
namespace {

constexpr FileFilter kFilters[] = {
    {"Profile Files(*.json)", ".json"},
    {"Macro Files(*.mac)", ".mac"},
    {"Shoot Files(*.shoot)", ".shoot"},
};

}  // namespace

const FileFilter& FilterOf(FileKind kind) { return kFilters[int(kind)]; }

QString DialogNameFilter(FileKind kind) {
  const FileFilter& filter = FilterOf(kind);
  QString pattern = QStringLiteral("*.");
  for (QChar c : QString::fromLatin1(filter.extension).mid(1))
    pattern += QStringLiteral("[%1%2]").arg(c.toLower()).arg(c.toUpper());
  return QStringLiteral("%1 (%2)").arg(QLatin1String(filter.description), pattern);
}

bool MatchesFilter(const QString& fileName, FileKind kind) {
  return fileName.endsWith(QLatin1String(FilterOf(kind).extension), Qt::CaseInsensitive);
}

QString WithDefaultExtension(const QString& path, FileKind kind) {
  if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  return path + QLatin1String(FilterOf(kind).extension);
}

QString CheckedOpenPath(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

QString CheckedSavePath(const QString& path, FileKind kind) {
  if (path.isEmpty()) return {};
  const QString named = WithDefaultExtension(path, kind);
  const QFileInfo info(named);
  if (info.isDir() || !info.dir().exists()) return {};
  return named;
}

QString SystemDialogs::StartFolder() const {
  return lastFolder_.isEmpty() || !QDir(lastFolder_).exists() ? QDir::homePath() : lastFolder_;
}

bool SystemDialogs::AskOpenPath(QWidget* owner, FileKind kind, QString* path) {
  return Ask(owner, kind, false, path);
}

bool SystemDialogs::AskSavePath(QWidget* owner, FileKind kind, QString* path) {
  return Ask(owner, kind, true, path);
}

bool SystemDialogs::Ask(QWidget* owner, FileKind kind, bool save, QString* path) {
  QFileDialog dialog(owner, QString(), StartFolder(), DialogNameFilter(kind));
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (save) {
    // A bare name gets the extension; an existing file is replaced only after
    // the dialog asked.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromLatin1(FilterOf(kind).extension).mid(1));
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  const QString chosen = dialog.selectedFiles().front();
  lastFolder_ = QFileInfo(chosen).absolutePath();
  *path = chosen;
  return true;
}

int SystemDialogs::ShowMessage(QWidget* owner, const QString& text, bool textIsKey, int buttons,
                               int dpi) {
  return app::ShowMessage(owner, QString(), text, dpi, textIsKey, buttons);
}

}  // namespace app
