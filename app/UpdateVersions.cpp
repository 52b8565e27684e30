#include "app/UpdateVersions.h"

#include <cstdio>

#include <QString>

#include "platform/Trace.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace app {

const std::array<UpdateDescriptor, 4>& UpdateDescriptorTable() {
  static const std::array<UpdateDescriptor, 4> table{{
      {1, 1, 0, "ORVIX", "RM50C17A", "MS", "MS", ""},
      {1, 1, 0, "ORVIX", "RM50C16A", "KB", "KB", ""},
      {2, 1, 0, "ORVIX", "RM50C09A_1", "X27", "X27", ""},
      {0, 1, 0, "ORVIX", "ALL", "X27_QB6_QB5", "AP", "V0100"},
  }};
  return table;
}

std::vector<UpdateDescriptor> CollectVersions(std::span<const DeviceVersionSource> devices, int installedVersion) {
  const auto& table = UpdateDescriptorTable();
  std::vector<UpdateDescriptor> list(table.begin(), table.end());
  for (const DeviceVersionSource& d : devices) {
    if (d.row < 0 || size_t(d.row) >= list.size()) continue;
    UpdateDescriptor& row = list[size_t(d.row)];
    if (!d.channelOpen) {
      row.version = 0;
    } else if (!d.receiverMode) {
      row.version = d.wiredVersion;
    } else if (d.shown) {
      row.version = d.receiverVersion;
      row.mark = -1;
    }
  }
  list.back().version = installedVersion;
  return list;
}

std::vector<UpdateDescriptor> ListedDescriptors(const std::vector<UpdateDescriptor>& collected) {
  std::vector<UpdateDescriptor> out;
  for (const auto& d : collected)
    if (d.version != 0) out.push_back(d);
  return out;
}

UpdateItemRecord MakeItemRecord(const UpdateDescriptor& d, const std::filesystem::path& updateTemp) {
  UpdateItemRecord r;
  const bool program = QString::fromStdString(d.model).compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0;
  r.name = program ? "AP" : d.displayName;
  if (d.hexVersion != 0) {
    char text[16];
    std::snprintf(text, sizeof text, "V%04x", unsigned(d.version) & 0xFFFFu);
    r.versionText = text;
  } else {
    r.versionText = d.versionText;
  }
  r.status = 7;
  r.packagePath = updateTemp / (r.name + ".exe");
  return r;
}

std::string FormatCheckDate(const std::tm& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%d-%d-%d", date.tm_year + 1900, date.tm_mon + 1, date.tm_mday);
  return text;
}

std::string EnsureCheckDate(const std::filesystem::path& file, const std::function<std::tm()>& today) {
  const Json::Value doc = profiles::LoadJsonFile(file);
  if (doc.isObject()) {
    const Json::Value& value = profiles::json::Member(profiles::json::Member(doc, "updatelasttime"), "value");
    if (value.isString()) return value.asString();
  }
  const std::string date = FormatCheckDate(today());
  Json::Value fresh(Json::objectValue);
  fresh["updatelasttime"]["value"] = date;
  if (profiles::SaveJsonFile(file, fresh) != 0) Trace("settings: updatetime.config not written");
  return date;
}

}  // namespace app
