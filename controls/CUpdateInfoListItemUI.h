#pragma once
// CUpdateInfoListItemUI ("UpdateInfoListItemUI"): one row of the settings
// window's version list, built from
// "XML\\CustomControlXML\\device_Update_list_item.xml" (root element
// "UpdateInfoListItem"). It finds its parts by name inside itself on first
// use: "check_name_select" (check box holding the row name), "OldRev",
// "updateRev" (shown only while it has a text), "update_status_text",
// "update_status_ing" with "update_progress_value" (busy indicator and
// percentage, shown together) and "update_status_ok" (done mark).
//
// Statuses 0..8 (UpdateRowLook) set the status text id, the busy and done
// marks, whether the check box takes input and its colours; showing or
// hiding the busy indicator sets the percentage back to 0. Setting the
// status a row already has changes nothing; another number is kept and
// changes nothing on screen.
//
// The row is highlighted under the pointer and, while not checked,
// outlined with a one-pixel frame. Activate sends "itemactivate".

#include <QPointer>
#include <QString>

#include "ui/UIList.h"

namespace controls {

inline constexpr const char* kUpdateItemLayout = "XML\\CustomControlXML\\device_Update_list_item.xml";

struct UpdateRowLook {
  bool known = false;
  const char* textId = "";
  bool busy = false;
  bool done = false;
  bool checkEnabled = false;
  uint32_t textColor = 0;      // also the selected text colour
  uint32_t disabledColor = 0;  // the disabled text colour
};
UpdateRowLook LookOfStatus(int status);

class CUpdateInfoListItemUI : public ui::CListContainerElementUI {
  Q_OBJECT
 public:
  CUpdateInfoListItemUI();
  QString GetClass() const override { return QStringLiteral("UpdateInfoListItemUI"); }
  bool IsClass(const QString& className) const override;

  void SetStatus(int status);
  int GetStatus() const { return status_; }
  void SetName(const QString& text);
  void SetOldRev(const QString& text);
  void SetUpdateRev(const QString& text);
  QString OldRev();
  QString UpdateRev();
  // Shows "<percent>%".
  void SetProgress(int percent);
  int Progress() const { return progress_; }
  bool IsChecked();
  // Sends "selectchanged" when the state changes.
  void SetChecked(bool on);
  void SetCheckEnabled(bool on);

  void PaintBorder(QPainter& painter) override;

 private:
  bool FindParts();
  void ShowBusy(bool shown);

  QPointer<ui::COptionUI> check_;
  QPointer<ui::CLabelUI> oldRev_, updateRev_, statusText_, progressValue_;
  QPointer<ui::CControlUI> busy_, done_;
  bool found_ = false;
  int status_ = 0;
  int progress_ = 0;
};

}  // namespace controls

using controls::CUpdateInfoListItemUI;
