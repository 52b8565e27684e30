#include "ui/UIResource.h"

#include "platform/Trace.h"
#include "ui/UIControl.h"
#include "ui/UIManager.h"
#include "ui/UIRender.h"
#include "ui/UIXml.h"

namespace ui {

CResourceManager& CResourceManager::GetInstance() {
  static CResourceManager instance;
  return instance;
}

bool CResourceManager::LoadResource(const QString& file, const QString&) {
  auto root = LoadSkinXml(file);
  if (!root) return false;
  for (const XmlNode& n : root->children) {
    const QString name = n.Attr(QStringLiteral("name"));
    QString path = n.Attr(QStringLiteral("path"));
    path.replace('\\', '/');
    if (name.isEmpty() || path.isEmpty()) continue;
    if (n.name.compare(QLatin1String("Xml"), Qt::CaseInsensitive) == 0) xmls_.insert(name, path);
    else if (n.name.compare(QLatin1String("Image"), Qt::CaseInsensitive) == 0) images_.insert(name, path);
  }
  CRenderEngine::ClearImageCache();
  return true;
}

void CResourceManager::ResetResourceMap() {
  xmls_.clear();
  images_.clear();
  CRenderEngine::ClearImageCache();  // image names may stand for other files now
}

QString CResourceManager::GetXmlPath(const QString& name) const { return xmls_.value(name); }
QString CResourceManager::GetImagePath(const QString& name) const { return images_.value(name); }

bool CResourceManager::LoadLanguage(const QString& file) {
  auto root = LoadSkinXml(file);
  if (!root) return false;
  QHash<QString, QString> texts;
  for (const XmlNode& n : root->children) {
    const QString id = n.Attr(QStringLiteral("id"));
    if (id.isEmpty()) continue;
    texts.insert(id, n.HasAttr(QStringLiteral("value")) ? n.Attr(QStringLiteral("value")) : n.text);
  }
  texts_ = std::move(texts);
  return true;
}

bool CResourceManager::IsMissingText(const QString& id) const {
  return !texts_.isEmpty() && GetText(id).isNull();
}

void CResourceManager::ReloadText() {
  for (CPaintManagerUI* m : CPaintManagerUI::GetManagers())
    if (CControlUI* root = m->GetRoot()) root->ReloadText();
}

QString CResourceManager::GetText(const QString& id, const QString& type) const {
  if (query_) {
    QString q = query_->QueryControlText(id, type);
    if (!q.isNull()) return q;
  }
  auto it = texts_.find(id);
  return it == texts_.end() ? QString() : it.value();
}

QString CResourceManager::ResolveText(const QString& text) const {
  if (text.isEmpty()) return text;
  const QString t = GetText(text);
  return t.isNull() ? text : t;
}

}  // namespace ui
