#include "platform/registry/Registry.h"

#include <QString>

namespace typeloom::platform::reg {

std::string FoldName(std::string_view name) {
  bool ascii = true;
  for (char c : name) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (!ascii) {
    const QByteArray folded =
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toCaseFolded().toUtf8();
    return std::string(folded.constData(), static_cast<std::size_t>(folded.size()));
  }
  std::string out(name);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string NormalizePath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) {
      if (!out.empty()) out += '\\';
      out.append(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return out;
}

}  // namespace typeloom::platform::reg

namespace typeloom::platform {

ValueView reg::ReadValue(Registry& registry, KeyHandle key, std::string_view name, std::string& buffer) {
  ValueView value;
  value.name = name;
  std::uint32_t size = 0;
  value.status = registry.QueryValue(key, name, &value.type, nullptr, &size);
  if (value.status != kSuccess) return value;
  // A string is read at its size; a number into four bytes, whatever size it reports.
  const bool text = value.type == kSz;
  if (!text && value.type != kDword) return value;
  buffer.assign(text ? size : 4, '\0');
  std::uint32_t read = static_cast<std::uint32_t>(buffer.size());
  if (registry.QueryValue(key, name, &value.type, reinterpret_cast<std::uint8_t*>(buffer.data()), &read) != kSuccess) {
    return value;
  }
  value.hasData = true;
  value.data = text ? std::string_view(buffer).substr(0, read) : std::string_view(buffer);
  return value;
}

long Registry::ReadValues(KeyHandle key, std::uint32_t nameBuffer, bool withData, const ValueVisitor& visit) {
  std::string name(nameBuffer, '\0');
  std::string data;
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t length = nameBuffer;
    const long rc = EnumValue(key, index, name.data(), &length);
    if (rc == reg::kNoMoreItems) return reg::kSuccess;
    if (rc != reg::kSuccess) return rc;
    if (length >= nameBuffer) return reg::kMoreData;
    const std::string_view found(name.data(), length);
    ValueView value;
    value.name = found;
    if (withData) value = reg::ReadValue(*this, key, found, data);
    if (!visit(value)) return reg::kSuccess;
  }
}

}  // namespace typeloom::platform
