#include "app/SetWnd.h"

#include <chrono>

#include "app/AboutWnd.h"
#include "ui/UIAuxWindow.h"
#include "controls/CUpdateInfoListItemUI.h"
#include "platform/Messages.h"
#include "platform/Trace.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace app {

namespace {

using namespace std::chrono_literals;

constexpr auto kWorkerStopBound = 500ms;

bool Named(const ui::TNotifyUI& msg, const char* name) {
  return msg.pSender && msg.pSender->GetName() == QLatin1String(name);
}

}  // namespace

CSetWnd::CSetWnd(Environment env) : env_(std::move(env)) {}

CSetWnd::~CSetWnd() { StopWorkers(); }

ui::CControlUI* CSetWnd::CreateControl(const QString&) { return nullptr; }

void CSetWnd::SetOwner(bool hasOwner, int languageIndex) {
  hasOwner_ = hasOwner;
  languageIndex_ = languageIndex;
}

void CSetWnd::InitWindow() {
  list_ = qobject_cast<ui::CListUI*>(FindControl(QStringLiteral("device_update_list_info")));
  languages_ = qobject_cast<ui::CComboUI*>(FindControl(QStringLiteral("Language_combox_info")));
  ResizeClient(m_pm.Scale(kSetWndWidth), m_pm.Scale(kSetWndHeight));
}

void CSetWnd::OnWindowInit() {
  if (languages_) {
    const Json::Value doc = profiles::LoadJsonFile(env_.defaultData / "Language.config");
    const Json::Value& list = profiles::json::Member(doc, "Language");
    for (size_t i = 0; i < profiles::json::ArraySize(list); ++i) {
      auto* item = new ui::CListLabelElementUI;  // owned by the combo
      item->SetText(QString::fromStdString(profiles::json::ToText(profiles::json::Member(profiles::json::Element(list, i), "Language_text"))));
      languages_->Add(item);
    }
    languages_->SelectItem(languageIndex_, false, false);
  }
  checkDate_ = EnsureCheckDate(env_.userData / "updatetime.config", env_.today);
  std::error_code ec;
  std::filesystem::create_directories(env_.updateTemp, ec);
  SetUpdateState(0);
  const size_t count = descriptors_.size();
  worker_.Start([this, count](const platform::StopEvent& stop) {
    // Each row is made on the UI thread, in order; a stopped window ends the
    // hand-over at once.
    bool handedOver = true;
    for (size_t i = 0; i < count && handedOver && !stop.IsSet(); ++i)
      handedOver = Target().Send(kAddUpdateRow, i, 0, &stop).has_value();
    // The list is complete: the status area stops saying it is checking.
    if (handedOver && !stop.IsSet()) Target().Send(kUpdateListComplete, 0, 0, &stop);
    listDone_ = true;
  });
}

void CSetWnd::AddRow(size_t index) {
  if (index >= descriptors_.size() || !list_) return;
  UpdateItemRecord record = MakeItemRecord(descriptors_[index], env_.updateTemp);
  ui::CDialogBuilder builder;
  auto* row = qobject_cast<controls::CUpdateInfoListItemUI*>(
      builder.Create(QString::fromLatin1(controls::kUpdateItemLayout), {}, this, &m_pm));
  if (!row) {
    Trace("update row " + record.name + " not built");
    return;
  }
  row->SetFixedHeight(50);
  row->SetName(QString::fromStdString(record.name));
  row->SetUpdateRev({});
  row->SetOldRev(QString::fromStdString(record.versionText));
  row->SetStatus(record.status);
  row->SetCheckEnabled(false);
  list_->Add(row);
  Trace("update row " + record.name + " " + record.versionText + " status " + std::to_string(record.status));
  records_.push_back(std::move(record));
}

controls::CUpdateInfoListItemUI* CSetWnd::Row(int index) const {
  return list_ ? qobject_cast<controls::CUpdateInfoListItemUI*>(list_->GetItemAt(index)) : nullptr;
}

int CSetWnd::RowCount() const { return list_ ? list_->GetCount() : 0; }

void CSetWnd::StopWorkers() {
  if (!worker_.Running()) return;
  // Bounded, traced, and the thread is still joined: never killed.
  if (worker_.Stop(kWorkerStopBound, "所有对象处于非激发状态，超时\n")) Trace("所有对象处于激发状态\n");
}

bool CSetWnd::UpdateStepRunning() const {
  for (int i = 0; i < RowCount(); ++i) {
    const int s = Row(i) ? Row(i)->GetStatus() : 7;
    if (s != 7 && s != 1 && s != 2 && s != 8) return true;
  }
  return false;
}

void CSetWnd::SetUpdateState(int state) {
  updateState_ = state;
  ui::CControlUI* ring = FindControl(QStringLiteral("update_status_ring"));
  ui::CControlUI* image = FindControl(QStringLiteral("update_status_image"));
  ui::CControlUI* text = FindControl(QStringLiteral("Update_Status_text"));
  if (ring) ring->SetVisible(state == 0);
  if (image) image->SetVisible(state != 0);
  if (!text) return;
  static const char* const kTexts[] = {"GetUpdateInfoText", "HaveUpdateInfoText", "NoUpdateInfoText",
                                       "ISUpdateINGText"};
  if (state >= 0 && state < 4) {
    text->SetResourceText(true);
    text->SetText(QString::fromLatin1(kTexts[state]));
  } else if (state == 4) {
    text->SetResourceText(false);
    text->SetText(ui::CResourceManager::GetInstance().GetText(QStringLiteral("UpdateIsLastText")) +
                  QString::fromStdString(checkDate_));
    if (hasOwner_ && env_.toOwner) env_.toOwner(platform::msg::kUpdateSeen, 0, 0);
  }
}

void CSetWnd::CheckChanged() {
  bool any = false;
  for (int i = 0; i < RowCount() && !any; ++i) any = Row(i) && Row(i)->IsChecked();
  if (ui::CControlUI* action = FindControl(QStringLiteral("update_fw_and_ap"))) {
    action->SetEnabled(any);
    action->SetVisible(any);
  }
}

void CSetWnd::DesignateUpdate(const std::string& name, const QString& revision) {
  for (size_t i = 0; i < records_.size() && int(i) < RowCount(); ++i) {
    if (records_[i].name != name) continue;
    if (designated_ != int(i) && Row(int(i))) {
      designated_ = int(i);
      Row(int(i))->SetUpdateRev(revision);
    }
    return;
  }
}

void CSetWnd::OnBf15(uint64_t what, int64_t value) {
  controls::CUpdateInfoListItemUI* row = designated_ >= 0 ? Row(designated_) : nullptr;
  if (!row) return;
  // The status area follows the update: updating while it runs, the update
  // still available after a failure, done (below) after success.
  if (what == 4) {
    if (row->GetStatus() != 6) row->SetStatus(6);
    row->SetProgress(int(value));
    if (updateState_ != 3) SetUpdateState(3);
  } else if (what == 2 || what == 3) {
    row->SetStatus(8);
    SetUpdateState(1);
  } else if (what == 1) {
    row->SetOldRev(row->UpdateRev());
    row->SetUpdateRev({});
    row->SetStatus(7);
    row->SetChecked(false);
    bool checkedLeft = false;
    bool notDone = false;
    for (int i = 0; i < RowCount(); ++i) {
      if (!Row(i) || Row(i)->GetStatus() == 7) continue;
      notDone = true;
      checkedLeft = checkedLeft || Row(i)->IsChecked();
    }
    if (!checkedLeft) {
      for (int i = 0; i < RowCount(); ++i)
        if (Row(i) && Row(i)->GetStatus() != 7) Row(i)->SetCheckEnabled(true);
      SetUpdateState(notDone ? 1 : 4);
    }
  }
}

void CSetWnd::Notify(ui::TNotifyUI& msg) {
  if (msg.sType == ui::notify::kWindowInit) {
    OnWindowInit();
  } else if (msg.sType == ui::notify::kClick) {
    if (Named(msg, "closebtn") || Named(msg, "laterbtn")) {
      StopWorkers();
      Close(0);
      return;
    }
    if (Named(msg, "menubtn") || Named(msg, "homepage_btn")) return;
    if (Named(msg, "set_in_update_wnd_btn")) {
      if (ui::CControlUI* tip = FindControl(QStringLiteral("update_tishi_layout"))) tip->SetVisible(false);
      ResizeClient(m_pm.Scale(kSetWndWidth), m_pm.Scale(kSetWndHeight));
      return;
    }
    auto* tabs = qobject_cast<ui::CTabLayoutUI*>(FindControl(QStringLiteral("get_update_tab_layout")));
    if (Named(msg, "update_fw_and_ap")) {
      if (tabs) tabs->SelectItem(1);
      return;
    }
    if (Named(msg, "update_OK_btn")) {
      for (int i = 0; i < RowCount(); ++i) {
        controls::CUpdateInfoListItemUI* row = Row(i);
        if (!row || (row->GetStatus() != 1 && row->GetStatus() != 2)) continue;
        if (row->IsChecked()) row->SetStatus(3);
        else row->SetCheckEnabled(false);
      }
      if (ui::CControlUI* action = FindControl(QStringLiteral("update_fw_and_ap"))) action->SetEnabled(false);
      if (tabs) tabs->SelectItem(0);
      return;
    }
    if (ui::HandleTitleButtonClick(*this, msg)) return;
  } else if (msg.sType == ui::notify::kSelectChanged && Named(msg, "check_name_select")) {
    CheckChanged();
  } else if (msg.sType == ui::notify::kItemSelect && Named(msg, "Language_combox_info")) {
    const int index = languages_ ? languages_->GetCurSel() : -1;
    if (hasOwner_) {
      languageIndex_ = index;
      if (env_.toOwner) env_.toOwner(platform::msg::UM_LANGUAGE_CHANGED, uint64_t(index), 0);
    }
  }
  WindowImplBase::Notify(msg);
}

int64_t CSetWnd::HandleCustomMessage(const platform::Message& msg, bool& handled) {
  handled = false;
  if (msg.id == kAddUpdateRow) {
    AddRow(size_t(msg.wParam));
    handled = true;
    return 0;
  }
  if (msg.id == kUpdateListComplete) {
    // Nothing here looks for updates beyond the rows listed: unless a
    // report has already moved the status on, it says what the rows show.
    if (updateState_ == 0) SetUpdateState(UpdateStepRunning() ? 3 : 2);
    Trace("update list complete, state " + std::to_string(updateState_));
    handled = true;
    return 0;
  }
  if (env_.bf15 != 0 && msg.id == env_.bf15) {
    OnBf15(msg.wParam, msg.lParam);
    handled = true;
    return 0;
  }
  if (msg.id == platform::msg::UM_LANGUAGE_CHANGED) {
    if (updateState_ == 4) SetUpdateState(4);
    if (ui::CControlUI* root = m_pm.GetRoot()) {
      root->NeedUpdate();
      root->Invalidate();
    }
    handled = true;
    return 0;
  }
  if (msg.id == ui::wm::WM_CLOSE) {
    if (UpdateStepRunning()) {
      Trace("settings: close refused during an update");
      handled = true;  // refused
      return 0;
    }
    StopWorkers();
    return 0;
  }
  if (msg.id == ui::wm::WM_SYSCOMMAND && (msg.wParam & 0xFFF0) == ui::wm::SC_CLOSE) StopWorkers();
  return HandleAuxWindowMessage(*this, m_pm, msg, handled);
}

}  // namespace app
