#pragma once
// CKeySetControlUI: the key assignment editor panel of a device page. It
// shows the function of the key chosen on the device picture on one of
// twelve category pages and composes a new one from its controls; the view
// logic is KeyEditorModel's (widget-free), this class moves it to and from
// the controls. Until the system-wide capture hook exists, keys pressed in
// "keyset_keyboard_text_edit" are captured as set-1 scan codes.

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "editors/core/KeyEditorModel.h"
#include "ui/UILib.h"

namespace editors {

class CKeySetControlUI : public ui::CHorizontalLayoutUI {
  Q_OBJECT
 public:
  CKeySetControlUI();
  QString GetClass() const override { return QStringLiteral("KeySetControl"); }
  bool IsClass(const QString& className) const override;

  void Init();
  void SetDeviceKind(int kind);
  int DeviceKind() const { return deviceKind_; }
  void SetMacroNames(const std::vector<QString>& names);
  void RemoveMacroName(int index);
  void RenameMacroName(int index, const QString& name);
  // Stores current and default and shows current.
  void SetKey(const profiles::KeyAssignment& key);
  void ShowCurrent();
  void ShowDefault();
  void SetCurrent(const profiles::KeyFunction& function) { current_ = function; }
  const profiles::KeyFunction& Current() const { return current_; }
  const profiles::KeyFunction& Default() const { return default_; }
  // Composes current from the controls, stores it and returns {current, default}.
  profiles::KeyAssignment BuildFunction();
  void SetModifierCheck(int n);
  int GetModifierCheck();
  void SetKeyText(const QString& textId);
  void ShowEditor(bool shown);
  void SetButtonsEnabled(bool enabled);
  void ResetLists();

  // A "keyset_function_combo" item chosen: switch the page; the key page
  // starts with no key and no modifier.
  void OnCategorySelected();
  // A "keyset_macro_over_combo" item chosen: the repeat count only for item 4.
  void OnPlayModeSelected();
  // A key captured (set-1 scan code, extended flag): true when it changed the
  // function, which the caller then saves as "key_butt_keysave" does.
  bool CaptureKey(uint8_t scan, bool extended);

  // The controls' state, as the model sees it.
  KeyEditorView ReadView();
  void ApplyView(const KeyEditorView& view);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <typename T>
  T* Find(const char* name);
  void Show(const profiles::KeyFunction& function);
  QString Translate(const QString& id);
  int MacroCount();

  profiles::KeyFunction current_;
  profiles::KeyFunction default_;
  int deviceKind_ = kMouseEditor;
  uint8_t keyUsage_ = 0;
  std::map<QString, QPointer<ui::CControlUI>> controls_;
  QPointer<QObject> filtered_;
};

// The set-1 scan code and extended flag of a Qt key, for the keys the editor
// can capture; nothing for the others.
struct ScanCode {
  uint8_t scan;
  bool extended;
};
std::optional<ScanCode> ScanCodeOfQtKey(int qtKey, bool keypad, bool rightSide);

}  // namespace editors
