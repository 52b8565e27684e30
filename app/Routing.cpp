#include "app/Routing.h"

#include <array>

#include "ui/UILib.h"

namespace app {
namespace {

bool SameText(std::string_view row, const QString& name, Qt::CaseSensitivity cs) {
  return QString::compare(QLatin1String(row.data(), qsizetype(row.size())), name, cs) == 0;
}

}  // namespace

bool SenderSelected(const ui::TNotifyUI& msg) {
  const auto* option = qobject_cast<const ui::COptionUI*>(msg.pSender);
  return option && option->IsSelected();
}

SplitName SplitControlName(const QString& name) {
  qsizetype digits = name.size();
  while (digits > 0 && name[digits - 1].isDigit() && name[digits - 1].unicode() < 128) --digits;
  if (digits == name.size()) return {name, -1};
  bool ok = false;
  const int index = QStringView(name).mid(digits).toInt(&ok);
  if (!ok) return {name, -1};
  return {name.left(digits), index};
}

const Route* FindRoute(std::span<const Route> table, const QString& type, const QString& name) {
  const SplitName split = SplitControlName(name);
  for (const Route& row : table) {
    if (!SameText(row.type, type, Qt::CaseSensitive)) continue;
    switch (row.match) {
      case Match::Name:
        if (SameText(row.name, name, Qt::CaseInsensitive)) return &row;
        break;
      case Match::NameExactCase:
        if (SameText(row.name, name, Qt::CaseSensitive)) return &row;
        break;
      case Match::Family:
      case Match::FamilyExactCase: {
        const auto cs = row.match == Match::Family ? Qt::CaseInsensitive : Qt::CaseSensitive;
        if (split.index >= 0 && SameText(row.name, split.prefix, cs)) return &row;
        break;
      }
    }
  }
  return nullptr;
}

// Each subsystem's table is added here, one line each.
std::span<const std::span<const Route>> RouteTables() {
  static const std::span<const Route> tables[] = {
      MainRoutes(),
      HeadsetRoutes(),
      KeyboardRoutes(),
      MouseRoutes(),
      LightRoutes(),
      MacroRoutes(),
      RecoilRoutes(),
      SyncRoutes(),
      MusicRoutes(),
  };
  return tables;
}

bool Dispatch(CMainWnd& wnd, ui::TNotifyUI& msg) {
  if (!msg.pSender) return false;
  const QString name = msg.pSender->GetName();
  for (std::span<const Route> table : RouteTables())
    if (const Route* row = FindRoute(table, msg.sType, name)) {
      row->handler(wnd, msg, row->match == Match::Family || row->match == Match::FamilyExactCase
                                 ? SplitControlName(name).index
                                 : -1);
      return true;
    }
  return false;
}

}  // namespace app
