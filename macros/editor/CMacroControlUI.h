#pragma once
// The macro editor of the keyboard and mouse pages (layout "MacroControl.xml",
// found on its page as "MacroControlItem"). It shows the device model's macro
// library as "macro_name_list" and the selected macro's actions as
// "macro_action_list", whose rows mirror a MacroRows model. It reacts to no
// notification itself: the main window calls the operation that belongs to
// the sender's name, and asks the user what needs asking. Recording goes
// through the eight handlers of MacroRecorder.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "macros/MacroLibrary.h"
#include "macros/MacroRecorder.h"
#include "macros/MacroRows.h"
#include "ui/UILib.h"

namespace macros::editor {

inline constexpr uint32_t kScrollTimer = 4101;

class CMacroControlUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  CMacroControlUI();
  ~CMacroControlUI() override;
  QString GetClass() const override { return QStringLiteral("MacroControlUI"); }
  bool IsClass(const QString& className) const override;
  void DoEvent(ui::TEventUI& event) override;

  // Page start: the profile folder of the device model, then its library.
  void SetFolder(const std::filesystem::path& folder);
  void LoadList();
  const std::vector<std::u16string>& InitialNames() const { return initialNames_; }
  MacroLibrary* Library() { return library_.get(); }
  MacroRows& Rows() { return rows_; }
  MacroRecorder& Recorder() { return recorder_; }
  // -1 when no macro is selected.
  int SelectedMacro() const;

  // "itemselect" on "macro_name_list", and "macro_btn_cancel".
  void SelectMacro();
  // The library operations; each selects its result. "" as the library's.
  std::u16string AddMacro();
  std::u16string ImportMacro(const std::filesystem::path& file);
  bool ExportMacro(const std::filesystem::path& target);
  // With the text of "macro_edit_macroname".
  std::u16string RenameMacro();
  // The delete flow of the library with the page's questions; -1 when
  // declined or nothing is selected.
  int DeleteMacro(const AskUser& ask, const std::filesystem::path& currentProfile,
                  const std::vector<std::filesystem::path>& otherProfiles, bool* currentChanged);

  // Writes the selected macro from the rows; `truncated` when rows from 60
  // on were dropped (the caller shows "message_text_26_1"). False when
  // nothing was written.
  bool Save(bool* truncated);
  void MoveAction(MoveKind kind);
  void DeleteAction();
  void DeleteAllActions();
  // A button press or release; a move by the distance of its edit.
  void InsertMouseAction(MouseInsert what, bool down);
  // "macro_delay" lost the focus.
  void DelayEdited(ui::CControlUI* edit);

  // Recording.
  bool IsConstantTime() const;
  void StartTiming(int timing);
  void EndRecording() { SetEditing(true); }
  void SetEditing(bool editing);
  bool IsRecording() const { return recording_; }
  void OnKeyboardEvent(Placement placement, uint64_t wParam, int64_t lParam);
  void OnMouseEvent(Placement placement, uint64_t wParam, int64_t lParam);

 private:
  ui::CControlUI* Find(const char* name) const;
  void OnRowsChanged(MacroRows::Change change, int row);
  ui::CControlUI* MakeRow(int row);
  void ShowRow(ui::CControlUI* element, int row);
  void ApplyStyle(ui::CControlUI* control, const char* style);
  void SyncSelection();
  void SyncDelayTexts();
  void SetMacroControlsEnabled(bool enabled);
  void AddNameRow(const MacroEntry& entry, int at);
  // A macro just added to the library: its row, selected and shown.
  std::u16string ShowAdded(std::u16string name);

  std::filesystem::path folder_;
  std::unique_ptr<MacroLibrary> library_;
  std::vector<std::u16string> initialNames_;
  MacroRows rows_;
  MacroRecorder recorder_;
  bool recording_ = false;
};

// The record button: a button whose normal image can pulse (timer 100).
class CRedioMacroButtonUI : public ui::CButtonUI {
  Q_OBJECT
 public:
  QString GetClass() const override { return QStringLiteral("RedioMacroButtonUI"); }
  bool IsClass(const QString& className) const override;
  void SetAttribute(const QString& name, const QString& value) override;
  void DoEvent(ui::TEventUI& event) override;
  void SetRepeat(bool on) { repeat_ = on; }
  int Level() const { return level_; }

 private:
  QString pulseImage_;
  int level_ = 255;
  bool rising_ = false;
  bool repeat_ = false;
};

inline constexpr uint32_t kPulseTimer = 100;

}  // namespace macros::editor
