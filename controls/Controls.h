#pragma once
// What controls/ offers: the custom controls the device pages are built
// from, beyond the UI layer's own.
//
//   CDeviceKeyButtonUI ("DeviceKeyButton")  one key or light cap on the
//       picture of a device: shows the light's colour and brightness over
//       its image, a mark for keys assigned away from their default, and
//       whether the cap is selected; sends "dbclick".
//   CSelectPanelUI ("SelectPanel")  the column holding a device picture's
//       caps; a rectangle dragged over it selects the caps it touches and
//       sends "click_select_end".
//   CDeviceOptionUI ("DeviceOption")  one entry of the device bar: icons by
//       device kind, selection bound to the device page, synchro check; its
//       timers go to a handler the application installs.
//   CMpDevicePowerUI ("MpDevicePower")  a device's power panel: battery,
//       charge icon, wireless mark, phone type.
//   CHandImgButtonUI ("HandImgButton")  a picture button with a delete
//       handle ("click_handdelete").
//   CHandImgSelectButtonUI ("HandImgSelectButton")  a picture larger than
//       the control, panned by dragging.
//   CCircleProgressUI ("CircleProgress")  progress as a ring.
//   CAudioRecordUI ("AudioRecord")  a level meter of 500 bars.
//   CChartViewUI ("ChartView")  pie or histogram of labelled values.
//   CWndUI ("Wnd")  keeps a hosted widget on its rectangle.
//   CComboEditContainerElementUI ("ComboEditContainerElement")  a list
//       row built from its own layout.
//   CUpdateInfoListItemUI ("UpdateInfoListItem")  a row of the version
//       list with its update status.
//
// Layouts name them by their class strings; the application registers them
// with ui::CControlFactory.
#include "controls/CAudioRecordUI.h"
#include "controls/CChartViewUI.h"
#include "controls/CCircleProgressUI.h"
#include "controls/CComboEditContainerElementUI.h"
#include "controls/CDeviceKeyButtonUI.h"
#include "controls/CDeviceOptionUI.h"
#include "controls/CHandImgButtonUI.h"
#include "controls/CHandImgSelectButtonUI.h"
#include "controls/CMpDevicePowerUI.h"
#include "controls/CSelectPanelUI.h"
#include "controls/CUpdateInfoListItemUI.h"
#include "controls/CWndUI.h"
