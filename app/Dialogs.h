#pragma once
// The main window's modal dialogs behind one seam: the file open and save
// dialogs for the three user file kinds and the message box. The program uses
// SystemDialogs (QFileDialog, the skin's message box); tests install their own
// answers.

#include <QString>

class QWidget;

namespace app {

enum class FileKind { Profile, Macro, Shoot };

struct FileFilter {
  const char* description;  // "Profile Files(*.json)"
  const char* extension;    // ".json", matched in any letter case
};
const FileFilter& FilterOf(FileKind kind);

// The name filter QFileDialog is given: the description and a pattern that
// matches the extension in any letter case (".Json", ".JSON").
QString DialogNameFilter(FileKind kind);
// True when the file name ends in the kind's extension, any letter case.
bool MatchesFilter(const QString& fileName, FileKind kind);
// A save name without an extension gets the kind's one; others stay.
QString WithDefaultExtension(const QString& path, FileKind kind);

class DialogSeam {
 public:
  virtual ~DialogSeam() = default;
  // A chosen path, false when the dialog was cancelled.
  virtual bool AskOpenPath(QWidget* owner, FileKind kind, QString* path) = 0;
  virtual bool AskSavePath(QWidget* owner, FileKind kind, QString* path) = 0;
  // 1 confirm, 0 cancel or closed. `buttons`: 0 confirm only, 1 both.
  virtual int ShowMessage(QWidget* owner, const QString& text, bool textIsKey, int buttons,
                          int dpi) = 0;
};

class SystemDialogs : public DialogSeam {
 public:
  bool AskOpenPath(QWidget* owner, FileKind kind, QString* path) override;
  bool AskSavePath(QWidget* owner, FileKind kind, QString* path) override;
  int ShowMessage(QWidget* owner, const QString& text, bool textIsKey, int buttons,
                  int dpi) override;

 private:
  bool Ask(QWidget* owner, FileKind kind, bool save, QString* path);
  // The folder the last dialog ended in; the home folder before that.
  QString StartFolder() const;
  QString lastFolder_;
};

// What a dialog's answer means after the checks the dialogs promise: an open
// path names an existing file; a save path lies in an existing folder and a
// bare name gets the kind's extension. Empty when the answer is refused.
QString CheckedOpenPath(const QString& path);
QString CheckedSavePath(const QString& path, FileKind kind);

}  // namespace app
