#include "controls/CUpdateInfoListItemUI.h"

#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UITheme.h"

namespace controls {

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFF, kGrey = 0xFF666666;
constexpr uint32_t kBlue = 0xFF0099FF, kDarkBlue = 0xFF0078C8;
}  // namespace

UpdateRowLook LookOfStatus(int status) {
  switch (status) {
    case 0: return {true, "LessUpdateText", false, false, false, kWhite, kGrey};
    case 1:
    case 2: return {true, "NeedUpdateText", false, false, true, kBlue, kDarkBlue};
    case 3: return {true, "DownloadWaitText", false, false, false, kBlue, kDarkBlue};
    case 4: return {true, "DownloadIngText", true, false, false, kBlue, kDarkBlue};
    case 5: return {true, "DownloadOkText", false, true, false, kBlue, kDarkBlue};
    case 6: return {true, "UpdateIngText", true, false, false, kBlue, kDarkBlue};
    case 7: return {true, "UpdateOkText", false, false, false, kWhite, kGrey};
    case 8: return {true, "UpdateFailText", false, false, true, kBlue, kDarkBlue};
    default: return {};
  }
}

CUpdateInfoListItemUI::CUpdateInfoListItemUI() = default;

bool CUpdateInfoListItemUI::IsClass(const QString& className) const {
  return className.compare(QLatin1String("UpdateInfoListItemUI"), Qt::CaseInsensitive) == 0 ||
         className.compare(QLatin1String("UpdateInfoListItem"), Qt::CaseInsensitive) == 0 ||
         ui::CListContainerElementUI::IsClass(className);
}

bool CUpdateInfoListItemUI::FindParts() {
  if (found_) return true;
  // Inside this row first: several rows live in one window.
  auto mine = [this](const char* name) -> ui::CControlUI* {
    return manager_ ? manager_->FindSubControlByName(this, QString::fromLatin1(name)) : nullptr;
  };
  check_ = qobject_cast<ui::COptionUI*>(mine("check_name_select"));
  oldRev_ = qobject_cast<ui::CLabelUI*>(mine("OldRev"));
  updateRev_ = qobject_cast<ui::CLabelUI*>(mine("updateRev"));
  statusText_ = qobject_cast<ui::CLabelUI*>(mine("update_status_text"));
  busy_ = mine("update_status_ing");
  progressValue_ = qobject_cast<ui::CLabelUI*>(mine("update_progress_value"));
  done_ = mine("update_status_ok");
  found_ = manager_ != nullptr;
  return found_;
}

void CUpdateInfoListItemUI::ShowBusy(bool shown) {
  if (busy_) busy_->SetVisible(shown);
  if (progressValue_) progressValue_->SetVisible(shown);
  progress_ = 0;
  if (progressValue_) progressValue_->SetText(QStringLiteral("0%"));
}

void CUpdateInfoListItemUI::SetStatus(int status) {
  if (status == status_) return;
  status_ = status;
  const UpdateRowLook look = LookOfStatus(status);
  if (!look.known || !FindParts()) return;
  if (statusText_) statusText_->SetText(QString::fromLatin1(look.textId));
  ShowBusy(look.busy);
  if (done_) done_->SetVisible(look.done);
  if (check_) {
    check_->SetEnabled(look.checkEnabled);
    check_->SetTextColor(look.textColor);
    check_->SetSelectedTextColor(look.textColor);
    check_->SetDisabledTextColor(look.disabledColor);
  }
  Invalidate();
}

void CUpdateInfoListItemUI::SetName(const QString& text) {
  if (FindParts() && check_) check_->SetText(text);
}

void CUpdateInfoListItemUI::SetOldRev(const QString& text) {
  if (FindParts() && oldRev_) oldRev_->SetText(text);
}

void CUpdateInfoListItemUI::SetUpdateRev(const QString& text) {
  if (!FindParts() || !updateRev_) return;
  updateRev_->SetText(text);
  updateRev_->SetVisible(!text.isEmpty());
}

QString CUpdateInfoListItemUI::OldRev() { return FindParts() && oldRev_ ? oldRev_->GetRawText() : QString(); }
QString CUpdateInfoListItemUI::UpdateRev() { return FindParts() && updateRev_ ? updateRev_->GetRawText() : QString(); }

void CUpdateInfoListItemUI::SetProgress(int percent) {
  progress_ = percent;
  if (FindParts() && progressValue_) progressValue_->SetText(QStringLiteral("%1%").arg(percent));
}

bool CUpdateInfoListItemUI::IsChecked() { return FindParts() && check_ && check_->IsSelected(); }

void CUpdateInfoListItemUI::SetChecked(bool on) {
  if (FindParts() && check_) check_->Selected(on, true);
}

void CUpdateInfoListItemUI::SetCheckEnabled(bool on) {
  if (FindParts() && check_) check_->SetEnabled(on);
}

void CUpdateInfoListItemUI::PaintBorder(QPainter& painter) {
  ui::CListContainerElementUI::PaintBorder(painter);
  if (IsChecked()) return;
  const double f = manager_ ? manager_->GetDPIObj().ScaleFactor() : 1.0;
  const uint32_t frame = ui::HasColor(borderColor_) ? borderColor_ : ui::theme::kBorder;
  ui::CRenderEngine::DrawBorder(painter, GetPos(), frame, std::max(1, int(f)), QSize(6, 6) * f);
}

}  // namespace controls
