#pragma once
// What ui/ offers: the UI library layer on Qt Widgets. Windows and pages
// are built from layout files; controls are found by name and report what
// the user does as notifications.
#include "ui/UIAuxWindow.h"     // AcceptedDpi, title buttons of small windows
#include "ui/UIBuilder.h"       // CDialogBuilder, CControlFactory
#include "ui/UIButton.h"        // CLabelUI, CButtonUI, COptionUI, CCheckBoxUI
#include "ui/UIColorPalette.h"  // CColorPaletteUI
#include "ui/UIContainer.h"     // CContainerUI, CVerticalLayoutUI, CHorizontalLayoutUI, CTabLayoutUI
#include "ui/UIControl.h"       // CControlUI
#include "ui/UIDefs.h"          // notification types, TNotifyUI, TEventUI, INotifyUI
#include "ui/UIEdit.h"          // CEditUI
#include "ui/UIList.h"          // CListUI, CComboUI, list elements
#include "ui/UIManager.h"       // CPaintManagerUI, CDPI
#include "ui/UIMenu.h"          // CMenuWnd, CMenuUI, CMenuElementUI
#include "ui/UIRender.h"        // CRenderEngine, attribute parsing
#include "ui/UIResource.h"      // CResourceManager
#include "ui/UIScreenshot.h"    // SaveScreenshot
#include "ui/UISlider.h"        // CProgressUI, CSliderUI
#include "ui/UITray.h"          // CTrayIcon
#include "ui/UIWindow.h"        // CWindowWnd, WindowImplBase, CNotifyPump
