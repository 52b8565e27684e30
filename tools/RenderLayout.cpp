// vx27_render: renders a layout to a PNG for people to look at.
//
//   vx27_render <layout> [--skin DIR] [--res FILE] [--lang FILE] [--dpi N]
//               [--select NAME]... [--out NAME]
//
// <layout> is a name of the skin's resource index or a path relative to the
// skin folder (default: the install folder's skin/). --select selects an
// option (or tab page button) by name before the shot. The PNG goes to the
// screens folder (build/screens, or $VX27_SCREENS_DIR) as NAME.png (default:
// the layout's file name). Runs headless unless QT_QPA_PLATFORM says
// otherwise. Exit code 0 on success, 1 when the layout cannot be built, 2 on
// bad arguments.

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include "ui/UILib.h"

namespace {

class LayoutWindow : public ui::WindowImplBase {
 public:
  explicit LayoutWindow(QString layout) : layout_(std::move(layout)) {}
  QString GetWindowClassName() const override { return QStringLiteral("RenderWnd"); }
  QString GetSkinFile() override { return layout_; }

 private:
  QString layout_;
};

int Usage() {
  std::fprintf(stderr,
               "usage: vx27_render <layout> [--skin DIR] [--res FILE] [--lang FILE] [--dpi N] "
               "[--select NAME]... [--out NAME]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  QString layout, skin, res, lang, out;
  QStringList selects;
  int dpi = 96;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto next = [&](QString& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    QString value;
    if (a == QLatin1String("--skin")) { if (!next(skin)) return Usage(); }
    else if (a == QLatin1String("--res")) { if (!next(res)) return Usage(); }
    else if (a == QLatin1String("--lang")) { if (!next(lang)) return Usage(); }
    else if (a == QLatin1String("--out")) { if (!next(out)) return Usage(); }
    else if (a == QLatin1String("--select")) { if (!next(value)) return Usage(); selects << value; }
    else if (a == QLatin1String("--dpi")) { if (!next(value)) return Usage(); dpi = value.toInt(); }
    else if (a.startsWith(QLatin1String("--"))) return Usage();
    else if (layout.isEmpty()) layout = a;
    else return Usage();
  }
  if (layout.isEmpty()) return Usage();
  if (!skin.isEmpty()) ui::CPaintManagerUI::SetResourcePath(QFileInfo(skin).absoluteFilePath());
  if (!res.isEmpty()) ui::CResourceManager::GetInstance().LoadResource(res);
  if (!lang.isEmpty() && !ui::CResourceManager::GetInstance().LoadLanguage(lang))
    std::fprintf(stderr, "vx27_render: language %s not loaded\n", qPrintable(lang));

  LayoutWindow window(layout);
  if (!window.Create(nullptr, QStringLiteral("render"))) {
    std::fprintf(stderr, "vx27_render: cannot build %s\n", qPrintable(layout));
    return 1;
  }
  window.PaintManager().SetDPI(dpi);
  for (const QString& name : selects) {
    ui::CControlUI* c = window.FindControl(name);
    if (auto* option = qobject_cast<ui::COptionUI*>(c)) option->Selected(true);
    else if (c) c->Activate();
    else std::fprintf(stderr, "vx27_render: no control named %s\n", qPrintable(name));
  }
  window.ShowWindow(true, false);
  QApplication::processEvents();
  window.PaintManager().UpdateLayout();
  QApplication::processEvents();
  if (out.isEmpty()) out = QFileInfo(layout).completeBaseName();
  const QString path = ui::SaveScreenshot(window.GetHWND(), out);
  if (path.isEmpty()) return 1;
  std::printf("%s\n", qPrintable(path));
  return 0;
}
