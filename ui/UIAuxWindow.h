#pragma once
// What the small windows (message box, about, settings, palette, music
// light) share: the DPI values they accept and the title buttons.

#include "ui/UIManager.h"
#include "ui/UIWindow.h"

namespace ui {

// The requested DPI when it is one of 48, 72, 96, 120, 144, 168 or 192;
// otherwise traces `errorTrace` and gives 96.
int AcceptedDpi(int requested, const char* errorTrace);

// Applies a DPI to a window's paint manager when it differs from the current
// one; an unaccepted value is traced and becomes 96.
void ApplyWindowDpi(CPaintManagerUI& pm, int requested, const char* errorTrace);

// The title buttons of an auxiliary window: "closebtn" closes it with result
// 0; "minbtn", "maxbtn", "restorebtn" send the matching system command.
// True when the click was one of them.
bool HandleTitleButtonClick(CWindowWnd& wnd, const TNotifyUI& msg);

// After a system command that may change the zoomed state: "maxbtn" shows
// when the window is not zoomed and "restorebtn" when it is.
void SyncZoomButtons(CPaintManagerUI& pm, bool zoomed);

}  // namespace ui
