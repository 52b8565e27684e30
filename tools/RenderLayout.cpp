// vx27_render: renders a layout to a PNG for people to look at.
//
//   vx27_render <layout> [--skin DIR] [--res FILE] [--lang FILE] [--dpi N]
//               [--size WxH] [--select NAME]... [--out NAME]
//
// <layout> is a name of the skin's resource index or a path relative to the
// skin folder (default: the install folder's skin/). The custom controls are
// registered and the device page and panel classes of the program are drawn
// as plain rows (tools/SkinPreview.h), so every page layout can be drawn.
// --lang picks the language file ("lan_en.xml", "lan_cn.xml"), --dpi the
// scale (96 or 144). A layout without a window size (a device page or a
// panel) is drawn at --size (96-DPI pixels, default 1000x640). --select selects an
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

#include "tools/SkinPreview.h"
#include "ui/UILib.h"

namespace {

class LayoutWindow : public ui::WindowImplBase {
 public:
  explicit LayoutWindow(QString layout) : layout_(std::move(layout)), preview_(&m_pm) {}
  QString GetWindowClassName() const override { return QStringLiteral("RenderWnd"); }
  QString GetSkinFile() override { return layout_; }
  ui::CControlUI* CreateControl(const QString& className) override { return preview_.CreateControl(className); }

 private:
  QString layout_;
  tools::SkinPreviewCallback preview_;
};

int Usage() {
  std::fprintf(stderr,
               "usage: vx27_render <layout> [--skin DIR] [--res FILE] [--lang FILE] [--dpi N] [--size WxH] "
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
  QSize size(1000, 640);
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
    else if (a == QLatin1String("--size")) {
      if (!next(value)) return Usage();
      const QStringList wh = value.split(QLatin1Char('x'));
      if (wh.size() != 2 || wh[0].toInt() <= 0 || wh[1].toInt() <= 0) return Usage();
      size = QSize(wh[0].toInt(), wh[1].toInt());
    }
    else if (a.startsWith(QLatin1String("--"))) return Usage();
    else if (layout.isEmpty()) layout = a;
    else return Usage();
  }
  if (layout.isEmpty()) return Usage();
  if (!skin.isEmpty()) ui::CPaintManagerUI::SetResourcePath(QFileInfo(skin).absoluteFilePath());
  if (!res.isEmpty()) ui::CResourceManager::GetInstance().LoadResource(res);
  if (!lang.isEmpty() && !ui::CResourceManager::GetInstance().LoadLanguage(lang))
    std::fprintf(stderr, "vx27_render: language %s not loaded\n", qPrintable(lang));

  tools::RegisterPreviewControls();
  LayoutWindow window(layout);
  if (!window.Create(nullptr, QStringLiteral("render"))) {
    std::fprintf(stderr, "vx27_render: cannot build %s\n", qPrintable(layout));
    return 1;
  }
  if (window.PaintManager().GetInitSize().isEmpty()) window.PaintManager().SetInitSize(size.width(), size.height());
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
