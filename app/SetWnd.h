#pragma once
// The settings window (class "SetWnd", layout "setwnd.xml", 630 x 500): the
// language combo and the version list of the connected devices and the
// program, with the status area and the per-row update states.
//
// The rows are made by a worker (platform::Worker) from the descriptors the
// main window hands over and added on the UI thread, in order, each traced
// "update row <name> <old revision> status <n>". Closing stops the worker
// (500 ms bound, then still joined: never killed). While a row is in an
// update step (status 3..6) the window refuses to close.
//
// Updater reports (UWM_TOOL_BF15_MSG, forwarded by the main window) go to
// the designated row: 4 = progress percentage in lParam (the row shows
// status 6, updating), 1 = finished (the
// update revision becomes the old one, status 7, and the status area goes to
// 1 or 4), 2 and 3 = failed (status 8). Without a designated row they
// change nothing.

#include <atomic>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/UpdateVersions.h"
#include "platform/Worker.h"
#include "ui/UILib.h"

namespace controls {
class CUpdateInfoListItemUI;
}

namespace app {

inline constexpr uint32_t kSetWndWidth = 630, kSetWndHeight = 500;
// The messages the worker hands each record to the UI thread with, and says
// the list is complete with.
inline constexpr uint32_t kAddUpdateRow = 0x0400 + 0x22;
inline constexpr uint32_t kUpdateListComplete = 0x0400 + 0x23;

class CSetWnd : public ui::WindowImplBase {
 public:
  struct Environment {
    std::filesystem::path defaultData;  // "Language.config"
    std::filesystem::path userData;     // "updatetime.config"
    std::filesystem::path updateTemp;   // the packages' folder
    std::function<std::tm()> today;     // the local date
    // Messages to the owner (3089 with the chosen language, 3094).
    std::function<void(uint32_t id, uint64_t wParam, int64_t lParam)> toOwner;
    uint32_t bf15 = 0;  // the local number of UWM_TOOL_BF15_MSG
  };

  explicit CSetWnd(Environment env);
  ~CSetWnd() override;

  QString GetWindowClassName() const override { return QStringLiteral("SetWnd"); }
  QString GetSkinFile() override { return QStringLiteral("setwnd.xml"); }
  ui::CControlUI* CreateControl(const QString& className) override;
  void InitWindow() override;
  void Notify(ui::TNotifyUI& msg) override;
  int64_t HandleCustomMessage(const platform::Message& msg, bool& handled) override;

  void SetOwner(bool hasOwner, int languageIndex);
  void SetDescriptors(std::vector<UpdateDescriptor> descriptors) { descriptors_ = std::move(descriptors); }

  void SetUpdateState(int state);
  int UpdateState() const { return updateState_; }
  const std::string& CheckDate() const { return checkDate_; }
  const std::vector<UpdateItemRecord>& Records() const { return records_; }
  controls::CUpdateInfoListItemUI* Row(int index) const;
  int RowCount() const;
  // The row that receives the updater's reports (-1: none).
  void DesignateRow(int index) { designated_ = index; }
  // Designates the row named `name` ("MS", "KB", "X27") with the revision
  // the update brings; nothing when no such row is listed (yet).
  void DesignateUpdate(const std::string& name, const QString& revision);
  // The list worker handed over every row (or was stopped).
  bool WorkerDone() const { return listDone_.load(); }
  int LanguageIndex() const { return languageIndex_; }

 private:
  void OnWindowInit();
  void AddRow(size_t index);
  void StopWorkers();
  bool UpdateStepRunning() const;
  void OnBf15(uint64_t what, int64_t value);
  void CheckChanged();

  Environment env_;
  bool hasOwner_ = false;
  int languageIndex_ = -1;
  std::vector<UpdateDescriptor> descriptors_;
  std::vector<UpdateItemRecord> records_;
  int updateState_ = 0;
  std::string checkDate_;
  int designated_ = -1;
  std::atomic<bool> listDone_{false};
  platform::Worker worker_;
  ui::CListUI* list_ = nullptr;
  ui::CComboUI* languages_ = nullptr;
};

}  // namespace app
