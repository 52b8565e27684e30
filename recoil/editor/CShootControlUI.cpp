#include "recoil/editor/CShootControlUI.h"

#include <algorithm>

namespace recoil::editor {
namespace {

QString Numbered(const char* prefix, int n) { return QLatin1String(prefix) + QString::number(n); }

const char* XText(bool left) { return left ? "mouse_move_to_left_text" : "mouse_move_to_right_text"; }
const char* YText(bool up) { return up ? "mouse_move_to_up_text" : "mouse_move_to_down_text"; }

int Number(const ui::CControlUI* edit) { return edit ? edit->GetText().trimmed().toInt() : 0; }

void ShowNumber(ui::CControlUI* edit, int value) {
  if (edit && edit->GetText() != QString::number(value)) edit->SetText(QString::number(value));
}

void Select(ui::COptionUI* option, bool on) {
  if (option) option->Selected(on, false);
}

}  // namespace

bool CShootControlUI::IsClass(const QString& className) const {
  // Both the class string and the layout's class name.
  return className == QLatin1String("ShootControlUI") || className == QLatin1String("ShootControl") ||
         CHorizontalLayoutUI::IsClass(className);
}

void CShootControlUI::SetFolders(const std::filesystem::path& working, const std::filesystem::path& factory) {
  files_.SetFolders(working, factory);
}

ui::CControlUI* CShootControlUI::Find(const QString& name) const { return FindSubControl(name); }

void CShootControlUI::Start() {
  bool found = true;
  const auto option = [&](const QString& name) {
    auto* o = qobject_cast<ui::COptionUI*>(Find(name));
    found = found && o;
    return o;
  };
  const auto control = [&](const char* name) {
    ui::CControlUI* c = Find(QLatin1String(name));
    found = found && c;
    return c;
  };
  for (int w = 0; w < kWeapons; ++w) weapons_[size_t(w)] = option(Numbered("shoot_gun_op_", w));
  for (int s = 0; s < kShots; ++s) shots_[size_t(s)] = option(Numbered("bullet_op_", s));
  pictures_ = qobject_cast<ui::CTabLayoutUI*>(control("shoot_image_display_switch"));
  found = found && pictures_;
  shotIndex_ = control("bullet_select_index");
  for (const char* name : {"bullet_selected_prev", "bullet_selected_next", "bullet_edit_layout",
                           "shootdate_save_btn", "shootdate_reset_btn", "shootdate_import_btn",
                           "shootdate_export_btn"})
    control(name);
  editX_ = control("bullet_x_eidt");
  editY_ = control("bullet_y_eidt");
  editDelay_ = control("bullet_delay_eidt");
  checkX_ = option(QStringLiteral("bullet_x_check"));
  checkY_ = option(QStringLiteral("bullet_y_check"));
  controlsFound_ = found;
  files_.Start();
}

void CShootControlUI::CommitEdit() {
  for (const auto& edit : {editX_, editY_, editDelay_})
    if (edit && edit->IsFocused()) {
      SaveShot();
      return;
    }
}

void CShootControlUI::SelectWeapon(int weapon) {
  CommitEdit();
  for (auto& o : weapons_) Select(o, false);
  weapon_ = std::clamp(weapon, 0, kWeapons - 1);
  Select(weapons_[size_t(weapon_)], true);
  if (pictures_) pictures_->SelectItem(weapon_);
}

void CShootControlUI::SelectShot(int shot) {
  CommitEdit();
  ChooseShot(shot);
}

void CShootControlUI::ChooseShot(int shot) {
  for (auto& o : shots_) Select(o, false);
  shot_ = std::clamp(shot, 0, kShots - 1);
  Select(shots_[size_t(shot_)], true);
  if (shotIndex_) shotIndex_->SetText(QString::number(shot_ + 1));
  ShowShot();
}

void CShootControlUI::ShowShot() {
  if (shot_ < 0) return;
  const ShotRecord r = files_.Show(weapon_, shot_);
  Select(checkX_, r.left);
  Select(checkY_, r.up);
  ShowDirectionTexts();
  ShowNumber(editX_, r.x);
  ShowNumber(editY_, r.y);
  ShowNumber(editDelay_, r.delay);
}

ShotRecord CShootControlUI::FromControls() const {
  ShotRecord r;
  r.x = Number(editX_);
  r.y = Number(editY_);
  r.delay = Number(editDelay_);
  r.left = checkX_ && checkX_->IsSelected();
  r.up = checkY_ && checkY_->IsSelected();
  return r;
}

bool CShootControlUI::SaveShot() {
  if (shot_ < 0) return false;
  const bool saved = files_.Save(weapon_, shot_, FromControls());
  // The edits show what was stored: a value beyond what the mouse carries
  // was limited.
  const ShotRecord stored = files_.Show(weapon_, shot_);
  ShowNumber(editX_, stored.x);
  ShowNumber(editY_, stored.y);
  ShowNumber(editDelay_, stored.delay);
  return saved;
}

void CShootControlUI::ShowDirectionTexts() {
  if (checkX_) checkX_->SetText(QLatin1String(XText(checkX_->IsSelected())));
  if (checkY_) checkY_->SetText(QLatin1String(YText(checkY_->IsSelected())));
}

void CShootControlUI::ResetWeapon(int weapon) {
  files_.Reset(std::clamp(weapon, 0, kWeapons - 1));
  ChooseShot(shot_);
}

bool CShootControlUI::ImportWeapon(const std::filesystem::path& from) {
  const bool imported = files_.Import(weapon_, from);
  ChooseShot(shot_);
  return imported;
}

bool CShootControlUI::ExportWeapon(const std::filesystem::path& to) {
  CommitEdit();
  return files_.Export(weapon_, to);
}

}  // namespace recoil::editor
