#include "ui/UIXml.h"

#include <QFile>
#include <QXmlStreamReader>

#include "platform/Trace.h"
#include "ui/UIRender.h"

namespace ui {

QString XmlNode::Attr(const QString& key) const {
  for (const auto& [k, v] : attributes)
    if (k.compare(key, Qt::CaseInsensitive) == 0) return v;
  return {};
}

bool XmlNode::HasAttr(const QString& key) const {
  for (const auto& kv : attributes)
    if (kv.first.compare(key, Qt::CaseInsensitive) == 0) return true;
  return false;
}

std::optional<XmlNode> ParseXml(const QByteArray& data, QString* error) {
  QXmlStreamReader reader(data);
  std::vector<XmlNode> stack;
  std::optional<XmlNode> root;
  while (!reader.atEnd()) {
    const auto token = reader.readNext();
    if (token == QXmlStreamReader::StartElement) {
      XmlNode node;
      node.name = reader.name().toString();
      node.line = int(reader.lineNumber());
      for (const auto& a : reader.attributes()) node.attributes.emplace_back(a.name().toString(), a.value().toString());
      stack.push_back(std::move(node));
    } else if (token == QXmlStreamReader::EndElement) {
      XmlNode done = std::move(stack.back());
      stack.pop_back();
      if (stack.empty()) root = std::move(done);
      else stack.back().children.push_back(std::move(done));
    } else if (token == QXmlStreamReader::Characters && !stack.empty() && !reader.isWhitespace()) {
      stack.back().text += reader.text().toString();
    }
  }
  if (reader.hasError() || !root) {
    if (error) {
      *error = reader.hasError()
                   ? QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString())
                   : QStringLiteral("no element");
    }
    return std::nullopt;
  }
  return root;
}

std::optional<XmlNode> LoadSkinXml(const QString& name, QString* resolvedPath) {
  const QString path = ResolveSkinPath(name);
  if (resolvedPath) *resolvedPath = path;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    Trace(QStringLiteral("ui: cannot open %1 (%2)").arg(name, path).toStdString());
    return std::nullopt;
  }
  QString error;
  auto root = ParseXml(file.readAll(), &error);
  if (!root) Trace(QStringLiteral("ui: malformed %1: %2").arg(name, error).toStdString());
  return root;
}

}  // namespace ui
