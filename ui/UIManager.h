#pragma once
// CPaintManagerUI: the per-window hub of the UI layer. It holds the window's
// control tree, finds controls by name, delivers notifications to the
// window's notifiers, keeps option groups, per-control timers, the font
// table, class defaults and styles, and the window's DPI. Its static side
// holds the process-wide settings: instance and resource folders, shared
// fonts, and every live manager (SetAllDPI, language reloads).
// UI thread only.

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include <QFont>
#include <QMargins>
#include <QSize>
#include <QHash>
#include <QPointer>
#include <QString>

#include "ui/UIDefs.h"

class QWidget;

namespace ui {

class CControlUI;
class COptionUI;
struct TImageInfo;

// Scales 96-DPI sizes to the window's DPI.
class CDPI {
 public:
  int GetDPI() const { return dpi_; }
  void SetDPI(int dpi) { dpi_ = dpi > 0 ? dpi : 96; }
  // In 64 bits and clamped, so an absurd size in a layout cannot overflow.
  int Scale(int value) const { return Clamp(int64_t(value) * dpi_ / 96); }
  int ScaleBack(int value) const { return Clamp(int64_t(value) * 96 / dpi_); }
  double ScaleFactor() const { return dpi_ / 96.0; }

 private:
  static int Clamp(int64_t v) { return int(std::clamp<int64_t>(v, -1000000, 1000000)); }
  int dpi_ = 96;
};

struct TFontInfo {
  QString face;
  int size = 12;  // pixel height at 96 DPI
  bool bold = false;
  bool underline = false;
  bool italic = false;
};

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // --- process-wide ---
  static void SetInstancePath(const QString& folder);
  static QString GetInstancePath();  // install folder with a trailing '/'
  static void SetResourcePath(const QString& folder);
  static QString GetResourcePath();  // skin folder with a trailing '/'
  static void SetResourceType(int) {}  // plain files only
  // Runs the program's event loop until PostQuitMessage; returns its code.
  static int MessageLoop();
  static void PostQuitMessage(int code);
  static void SetAllDPI(int dpi);
  static const std::vector<CPaintManagerUI*>& GetManagers();

  // --- the window ---
  void Init(QWidget* host, const QString& name = {});
  QWidget* GetPaintWindow() const { return host_; }
  QString GetName() const { return name_; }
  // Makes `root` the window's control tree (it fills the host window).
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const;
  // Sets this manager on a subtree and runs DoInit on each control once.
  void InitControls(CControlUI* control, CControlUI* parent = nullptr);
  // Lays out the whole tree now (layouts are otherwise refreshed on the next
  // turn of the event loop).
  void UpdateLayout();
  // The window's 96-DPI client size from the layout's "size".
  void SetInitSize(int cx, int cy);
  QSize GetInitSize() const { return initSize_; }
  QSize GetClientSize() const;

  // First control named `name` in document order; null when there is none.
  CControlUI* FindControl(const QString& name) const;
  CControlUI* FindSubControlByName(CControlUI* parent, const QString& name) const;
  CControlUI* FindControl(QPoint windowPoint) const;

  // --- notifications ---
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  void SendNotify(TNotifyUI& msg, bool async = false);
  void SendNotify(CControlUI* control, const QString& type, uint64_t wParam = 0,
                  int64_t lParam = 0, bool async = false);

  // --- per-control timers: each comes back to the control as UIEVENT_TIMER
  // and, by default, as a "timer" notification; the same id re-arms ---
  bool SetTimer(CControlUI* control, uint32_t id, uint32_t elapseMs);
  bool KillTimer(CControlUI* control, uint32_t id);
  void KillTimer(CControlUI* control);

  // --- option groups: a group reaches only the options of one page (see
  // CControlUI::SetPageRoot); the scope is taken when the group is asked,
  // so a page built first and added to the window later is scoped right ---
  bool AddOptionGroup(const QString& group, COptionUI* option);
  // Every option of that name in the window.
  std::vector<COptionUI*> GetOptionGroup(const QString& group) const;
  // The options of that name whose page root is `pageRoot` (null: those
  // outside every page).
  std::vector<COptionUI*> GetOptionGroup(const QString& group, const CControlUI* pageRoot) const;
  void RemoveOptionGroup(const QString& group, COptionUI* option);

  // --- DPI ---
  const CDPI& GetDPIObj() const { return dpi_; }
  int GetDPI() const { return dpi_.GetDPI(); }
  void SetDPI(int dpi);
  void ResetDPIAssets();
  int Scale(int value) const { return dpi_.Scale(value); }

  // --- fonts: ids are per window unless shared ---
  void AddFont(int id, const QString& face, int size, bool bold, bool underline, bool italic,
               bool shared = false);
  void SetDefaultFont(const QString& face, int size, bool bold, bool underline, bool italic,
                      bool shared = false);
  void RemoveAllFonts(bool shared = false);
  bool HasFont(int id) const;
  QFont GetFont(int id) const;  // -1 or an unknown id gives the default font
  QFont GetDefaultFont() const;
  const TFontInfo* GetFontInfo(int id) const;

  // --- class defaults and styles from the layouts ---
  void AddDefaultAttributeList(const QString& className, const QString& list, bool shared = false);
  QString GetDefaultAttributeList(const QString& className) const;
  void AddStyle(const QString& name, const QString& list, bool shared = false);
  QString GetStyle(const QString& name) const;
  // The style for a control: its window's, else a shared one, else (for a
  // control made by code and not yet added to a window) the first window
  // that defines it.
  static QString FindStyle(const CPaintManagerUI* manager, const QString& name);

  // --- images ---
  const TImageInfo* GetImageEx(const QString& name) const;

  // The window's caption (96-DPI: left, top, right inset, bottom); a press
  // in it that no control takes moves the window.
  void SetCaptionRect(const QMargins& caption) { caption_ = caption; }
  QMargins GetCaptionRect() const { return caption_; }
  bool StartCaptionDrag(QPoint windowPoint);

  // Called by controls.
  void ReapObject(CControlUI* control);
  void SetFocus(CControlUI* control);
  CControlUI* GetFocus() const;

 private:
  void DeliverNotify(TNotifyUI& msg);
  QFont MakeFont(const TFontInfo& info) const;

  QWidget* host_ = nullptr;
  QString name_;
  QPointer<CControlUI> root_;
  QPointer<CControlUI> focus_;
  QSize initSize_;
  QMargins caption_;
  CDPI dpi_;
  std::vector<INotifyUI*> notifiers_;
  std::map<QString, std::vector<QPointer<COptionUI>>> optionGroups_;
  std::map<int, TFontInfo> fonts_;
  std::unique_ptr<TFontInfo> defaultFont_;
  QHash<QString, QString> defaults_;  // class name (lower case) -> attribute list
  QHash<QString, QString> styles_;
};

}  // namespace ui
