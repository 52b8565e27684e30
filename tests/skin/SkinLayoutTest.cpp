// The program's skin: the main window and every device page build with the
// classes the main window's builder gives them, carry the containers and the
// key and light caps that the device code looks up by name, and every text id
// they show exists in every language file.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/ControlRegistry.h"

#include "controls/CDeviceKeyButtonUI.h"
#include "controls/CSelectPanelUI.h"
#include "ui/UILib.h"

namespace {

bool Is(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

// The builder callback of the main window, with the device and panel classes
// (which other parts of the program provide) as plain horizontal layouts.
class SkinCallback : public ui::IDialogBuilderCallback {
 public:
  explicit SkinCallback(ui::CPaintManagerUI* pm) : pm_(pm) {}

  ui::CControlUI* CreateControl(const QString& c) override {
    if (Is(c, "DeviceKeyButton")) return new controls::CDeviceKeyButtonUI;
    if (Is(c, "SelectPanel")) return new controls::CSelectPanelUI;
    const QString layout = controls::LayoutOfControlClass(c);
    if (!layout.isEmpty()) {
      ui::CDialogBuilder builder;
      ui::CControlUI* built = builder.Create(layout, {}, this, pm_);
      if (!built) missing.push_back(layout.toStdString());
      return built;
    }
    static const char* const kCustomRoots[] = {
        "GesterinMouseDevice", "GesterinKeyboardDevice", "GesterinMousePadDevice", "GesterinRU6533Device",
        "DeviceProfile", "LightControl", "MagicControl", "Voice6533Control", "KeySetControl", "ShootControl",
        "CMacroControlUI", "RedioMacroButton", "DeviceOption", "MpDevicePower",
    };
    for (const char* root : kCustomRoots)
      if (Is(c, root)) return new ui::CHorizontalLayoutUI;
    unknown.push_back(c.toStdString());
    return nullptr;
  }

  std::vector<std::string> unknown;
  std::vector<std::string> missing;

 private:
  ui::CPaintManagerUI* pm_;
};

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

class SkinLayouts : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::CPaintManagerUI::SetResourcePath(QStringLiteral(VX27_SKIN_DIR));
    ui::CResourceManager::GetInstance().ResetResourceMap();
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml")));
    // No language: every text and tooltip reads back as its id.
    ui::CResourceManager::GetInstance().ResetLanguage();
  }

  // Builds a layout with the program's callback; null when it does not build
  // or names a class nobody provides.
  ui::CControlUI* Build(const QString& layout) {
    SkinCallback callback(&pm_);
    ui::CDialogBuilder builder;
    ui::CControlUI* root = builder.Create(layout, {}, &callback, &pm_);
    EXPECT_EQ(Joined(callback.unknown), "") << layout.toStdString() << ": classes nobody provides";
    EXPECT_EQ(Joined(callback.missing), "") << layout.toStdString() << ": panel layouts that do not build";
    if (root) trees_.emplace_back(root);
    return root;
  }

  static ui::CControlUI* Find(ui::CControlUI* root, const char* name) {
    if (root->GetName() == QLatin1String(name)) return root;
    auto* box = qobject_cast<ui::CContainerUI*>(root);
    return box ? box->FindSubControl(QString::fromLatin1(name)) : nullptr;
  }

  ui::CPaintManagerUI pm_;
  std::vector<std::unique_ptr<ui::CControlUI>> trees_;
};

TEST_F(SkinLayouts, MainWindowHasTheContainersTheProgramFills) {
  ui::CControlUI* root = Build(QStringLiteral("XML_MAIN"));
  ASSERT_NE(root, nullptr);
  for (const char* name : {"root", "closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn", "gamemodebtn", "cloudbtn",
                           "smarteyesbtn", "setbtn", "No_device_Link", "Error_device_Link"})
    EXPECT_NE(Find(root, name), nullptr) << name;
  EXPECT_NE(qobject_cast<ui::CContainerUI*>(Find(root, "device_select_layout")), nullptr);
  EXPECT_NE(qobject_cast<ui::CTabLayoutUI*>(Find(root, "device_switch")), nullptr);
  EXPECT_NE(qobject_cast<ui::CTabLayoutUI*>(Find(root, "device_power_switch")), nullptr);

  ui::CControlUI* entry = Build(QStringLiteral("XML\\CustomControlXML\\DeviceOption.xml"));
  ASSERT_NE(entry, nullptr);
  EXPECT_NE(qobject_cast<ui::COptionUI*>(Find(entry, "device_select")), nullptr);
  EXPECT_NE(qobject_cast<ui::COptionUI*>(Find(entry, "synchro_device_select")), nullptr);
  EXPECT_NE(Find(entry, "device_select_name"), nullptr);

  ui::CControlUI* power = Build(QStringLiteral("XML\\CustomControlXML\\MpDevicePower.xml"));
  ASSERT_NE(power, nullptr);
  for (const char* name : {"device_power_Layout", "device_power_value", "device_wuxian_logo", "device_power_status",
                           "device_phone_type"})
    EXPECT_NE(Find(power, name), nullptr) << name;
  EXPECT_NE(qobject_cast<ui::CProgressUI*>(Find(power, "device_Power_progress")), nullptr);
}

TEST_F(SkinLayouts, DevicePagesCarryEveryKeyAndLightCapOnce) {
  struct Page {
    const char* layout;
    const char* panel;
    int keys;
    int lights;
    bool lightInUserData;  // the keyboard's caps are key and light at once
  };
  // Key and light counts of the device page table.
  const Page kPages[] = {
      {"XML\\DeviceXml\\mousedevice.xml", "mouse_device_key_light", 11, 15, false},
      {"XML\\DeviceXml\\keyboarddevice.xml", "keyboard_device_key_light", 170, 170, true},
      {"XML\\DeviceXml\\mousepaddevice.xml", "mousepad_device_key_light", 0, 15, false},
      {"XML\\DeviceXml\\ru6533device.xml", "SelectPanel", 0, 13, false},
  };
  for (const Page& p : kPages) {
    SCOPED_TRACE(p.layout);
    ui::CControlUI* page = Build(QString::fromLatin1(p.layout));
    ASSERT_NE(page, nullptr);
    for (const char* name : {"DeviceProfileItem", "text_test", "str_test", "deng_Op_tab", "otherset_Op_tab"})
      EXPECT_NE(Find(page, name), nullptr) << name;
    auto* functions = qobject_cast<ui::CTabLayoutUI*>(Find(page, "device_function_switch"));
    ASSERT_NE(functions, nullptr);
    EXPECT_EQ(functions->GetCount(), 5);
    auto* keyTabs = qobject_cast<ui::CTabLayoutUI*>(functions->GetItemAt(0));
    ASSERT_NE(keyTabs, nullptr);
    EXPECT_EQ(keyTabs->GetName(), QStringLiteral("device_key_function_switch"));
    EXPECT_EQ(keyTabs->GetCount(), 3);

    auto* panel = qobject_cast<controls::CSelectPanelUI*>(Find(page, p.panel));
    ASSERT_NE(panel, nullptr);
    std::map<std::string, int> seen;
    for (int i = 0; i < panel->GetCount(); ++i) {
      auto* cap = qobject_cast<controls::CDeviceKeyButtonUI*>(panel->GetItemAt(i));
      if (!cap) continue;
      ++seen[cap->GetName().toStdString()];
      if (p.lightInUserData) ++seen[cap->GetUserData().toStdString()];
    }
    for (int n = 0; n < p.keys; ++n) EXPECT_EQ(seen["key_" + std::to_string(n)], 1) << "key_" << n;
    for (int n = 0; n < p.lights; ++n) EXPECT_EQ(seen["light_" + std::to_string(n)], 1) << "light_" << n;
    EXPECT_EQ(seen.count("key_" + std::to_string(p.keys)), 0u);
    EXPECT_EQ(seen.count("light_" + std::to_string(p.lights)), 0u);
  }
}

TEST_F(SkinLayouts, MouseCapsSitInItsSettingsLayoutWithTheLogoCap) {
  ui::CControlUI* page = Build(QStringLiteral("XML\\DeviceXml\\mousedevice.xml"));
  ASSERT_NE(page, nullptr);
  ui::CControlUI* views = Find(page, "mouse_device_seting_layout");
  ASSERT_NE(views, nullptr);
  ui::CControlUI* panel = Find(page, "mouse_device_key_light");
  ASSERT_NE(panel, nullptr);
  ui::CControlUI* up = panel;
  while (up && up != views) up = up->GetParent();
  EXPECT_EQ(up, views) << "the caps' panel lies inside mouse_device_seting_layout";
  int logos = 0;
  auto* box = qobject_cast<ui::CContainerUI*>(panel);
  for (int i = 0; i < box->GetCount(); ++i)
    if (box->GetItemAt(i)->GetUserData() == QLatin1String("logo")) ++logos;
  EXPECT_EQ(logos, 1);
}

// Collects the text ids of a tree: texts that go through the language and
// tooltips (with no language loaded a tooltip reads back as its id).
void CollectIds(ui::CControlUI* c, std::set<std::string>& ids) {
  if (c->IsResourceText() && !c->GetRawText().isEmpty()) ids.insert(c->GetRawText().toStdString());
  if (!c->GetToolTip().isEmpty()) ids.insert(c->GetToolTip().toStdString());
  if (auto* box = qobject_cast<ui::CContainerUI*>(c))
    for (int i = 0; i < box->GetCount(); ++i) CollectIds(box->GetItemAt(i), ids);
}

TEST_F(SkinLayouts, EveryTextIdIsInEveryLanguage) {
  std::set<std::string> ids;
  for (const char* layout : {"XML_MAIN", "XML_MSG", "XML_ABOUT", "XML_SKIN", "XML\\CustomControlXML\\DeviceOption.xml",
                             "XML\\CustomControlXML\\MpDevicePower.xml", "XML\\DeviceXml\\mousedevice.xml",
                             "XML\\DeviceXml\\keyboarddevice.xml", "XML\\DeviceXml\\mousepaddevice.xml",
                             "XML\\DeviceXml\\ru6533device.xml"}) {
    ui::CControlUI* root = Build(QString::fromLatin1(layout));
    ASSERT_NE(root, nullptr) << layout;
    CollectIds(root, ids);
  }
  // Texts the program itself puts on the device bar and the power panel.
  for (const char* id : {"kb_device_name_text", "ms_device_name_text", "hard_mp_device_name_text",
                         "soft_mp_device_name_text", "hd_device_name_text", "hub_device_name_text",
                         "unknow_device_name_text", "mouse", "keyboard", "MousePad", "HD", "Phone_type_iphone",
                         "Phone_type_samsung", "Phone_type_other", "Phone_type_no_device"})
    ids.insert(id);
  EXPECT_GT(ids.size(), 40u);
  for (const char* language : {"lan_cn.xml", "lan_en.xml", "lan_tw.xml", "lan_ja.xml", "lan_ko.xml", "lan_de.xml",
                               "lan_fr.xml", "lan_es.xml", "lan_pt.xml", "lan_it.xml", "lan_ru.xml", "lan_pl.xml",
                               "lan_tr.xml", "lan_vi.xml", "lan_id.xml", "lan_th.xml"}) {
    ASSERT_TRUE(ui::CResourceManager::GetInstance().LoadLanguage(QString::fromLatin1(language)));
    for (const std::string& id : ids)
      EXPECT_FALSE(ui::CResourceManager::GetInstance().GetText(QString::fromStdString(id)).isNull())
          << language << " lacks " << id;
  }
  ui::CResourceManager::GetInstance().ResetLanguage();
}

}  // namespace
