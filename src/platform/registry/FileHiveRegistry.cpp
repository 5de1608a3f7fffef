#include "platform/registry/FileHiveRegistry.h"

#include "platform/files/AtomicFile.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace typeloom::platform {
namespace {

// File layout: magic, payload length (64-bit big-endian), payload (QDataStream),
// SHA-256 of the payload. Anything that does not match exactly is unreadable.
constexpr char kMagic[8] = {'T', 'L', 'H', 'I', 'V', 'E', '0', '1'};
constexpr int kHashSize = 32;
constexpr int kHeaderSize = 8 + 8;
constexpr int kLockTimeoutMs = 10000;
constexpr int kStaleLockMs = 30000;

QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }
std::string String(const QByteArray& b) { return std::string(b.constData(), static_cast<std::size_t>(b.size())); }

}  // namespace

FileHiveRegistry::FileHiveRegistry() : FileHiveRegistry(DefaultPath()) {}

FileHiveRegistry::FileHiveRegistry(std::string path) : path_(std::move(path)) { Load(); }

std::string FileHiveRegistry::DefaultPath() {
  // GenericDataLocation is $XDG_DATA_HOME, or ~/.local/share when that is unset.
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return (base + QStringLiteral("/typeloom/registry.hive")).toStdString();
}

std::string FileHiveRegistry::Serialize(const Keys& keys) {
  QByteArray payload;
  {
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << static_cast<quint32>(keys.size());
    for (const auto& [id, key] : keys) {
      out << static_cast<quint32>(id.first) << Bytes(key.path) << static_cast<quint32>(key.values.size());
      for (const Value& v : key.values) out << Bytes(v.name) << static_cast<quint32>(v.type) << Bytes(v.data);
    }
  }
  QByteArray file(kMagic, sizeof kMagic);
  const auto length = static_cast<quint64>(payload.size());
  for (int shift = 56; shift >= 0; shift -= 8) file.append(static_cast<char>((length >> shift) & 0xFF));
  file.append(payload);
  file.append(QCryptographicHash::hash(payload, QCryptographicHash::Sha256));
  return String(file);
}

bool FileHiveRegistry::Parse(const std::string& bytes, Keys* keys) {
  keys->clear();
  if (bytes.size() < static_cast<std::size_t>(kHeaderSize + kHashSize)) return false;
  if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return false;
  quint64 length = 0;
  for (int i = 0; i < 8; ++i) length = (length << 8) | static_cast<unsigned char>(bytes[8 + i]);
  if (length != bytes.size() - kHeaderSize - kHashSize) return false;
  const QByteArray payload(bytes.data() + kHeaderSize, static_cast<qsizetype>(length));
  const QByteArray hash(bytes.data() + kHeaderSize + length, kHashSize);
  if (QCryptographicHash::hash(payload, QCryptographicHash::Sha256) != hash) return false;

  QDataStream in(payload);
  in.setVersion(QDataStream::Qt_6_0);
  quint32 keyCount = 0;
  in >> keyCount;
  // Each key takes at least 12 bytes, which bounds the counts of a damaged file.
  if (keyCount > length / 12) return false;
  for (quint32 k = 0; k < keyCount && in.status() == QDataStream::Ok; ++k) {
    quint32 root = 0, valueCount = 0;
    QByteArray path;
    in >> root >> path >> valueCount;
    if (in.status() != QDataStream::Ok || valueCount > length / 12) return false;
    Key key;
    key.path = reg::NormalizePath(String(path));
    key.values.reserve(valueCount);
    for (quint32 n = 0; n < valueCount && in.status() == QDataStream::Ok; ++n) {
      QByteArray name, data;
      quint32 type = 0;
      in >> name >> type >> data;
      key.values.push_back(Value{String(name), type, String(data)});
    }
    KeyId id{root, reg::FoldName(key.path)};
    (*keys)[std::move(id)] = std::move(key);
  }
  if (in.status() != QDataStream::Ok || !in.atEnd()) {
    keys->clear();
    return false;
  }
  return true;
}

FileHiveRegistry::FileStamp FileHiveRegistry::Stamp() const {
  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0) return {};
  FileStamp s;
  s.exists = true;
  s.device = static_cast<std::uint64_t>(st.st_dev);
  s.inode = static_cast<std::uint64_t>(st.st_ino);
  s.size = static_cast<std::uint64_t>(st.st_size);
  s.mtimeSec = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  s.mtimeNsec = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return s;
}

void FileHiveRegistry::Refresh() {
  if (Stamp() != stamp_) Load();
}

void FileHiveRegistry::Load() {
  stamp_ = Stamp();
  corrupt_ = false;
  keys_.clear();
  if (!stamp_.exists) return;
  QFile file(QString::fromStdString(path_));
  if (!file.open(QIODevice::ReadOnly)) {
    corrupt_ = true;
    return;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError || !Parse(String(bytes), &keys_)) corrupt_ = true;
}

bool FileHiveRegistry::BackUpCorruptFile() {
  const QString source = QString::fromStdString(path_);
  if (!QFileInfo::exists(source)) return true;
  QString target = source + QStringLiteral(".corrupt");
  for (int n = 1; QFileInfo::exists(target) && n < 1000; ++n) target = source + QStringLiteral(".corrupt.%1").arg(n);
  if (!QFile::copy(source, target)) return false;
  backupPath_ = target.toStdString();
  return true;
}

template <typename Change>
long FileHiveRegistry::Modify(Change change) {
  const QString file = QString::fromStdString(path_);
  if (!QDir().mkpath(QFileInfo(file).absolutePath())) return reg::kWriteFault;
  QLockFile lock(file + QStringLiteral(".lock"));
  lock.setStaleLockTime(kStaleLockMs);
  if (!lock.tryLock(kLockTimeoutMs)) return reg::kWriteFault;

  Load();  // another process may have written since our last read
  Keys next = keys_;
  if (!change(next)) return reg::kSuccess;
  if (corrupt_ && !BackUpCorruptFile()) return reg::kWriteFault;

  // The whole file or nothing: a full disk or a file-size limit leaves the old one.
  const std::string bytes = Serialize(next);
  if (!ReplaceFile(file, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), 0600)) return reg::kWriteFault;
  keys_ = std::move(next);
  corrupt_ = false;
  stamp_ = Stamp();
  return reg::kSuccess;
}

const FileHiveRegistry::Key* FileHiveRegistry::Find(const KeyId& id) const {
  const auto it = keys_.find(id);
  return it == keys_.end() ? nullptr : &it->second;
}

bool FileHiveRegistry::AddKeyAndParents(Keys& keys, std::uint32_t root, const std::string& path) {
  bool changed = false;
  // The key and each missing parent; a part that exists keeps its letter case.
  for (std::size_t end = 0; end != std::string::npos;) {
    end = path.find('\\', end + 1);
    const std::string part = path.substr(0, end);
    KeyId partId{root, reg::FoldName(part)};
    if (keys.find(partId) == keys.end()) {
      keys[std::move(partId)] = Key{part, {}};
      changed = true;
    }
  }
  return changed;
}

KeyHandle FileHiveRegistry::NewHandle(KeyId id, std::string path, std::uint32_t access) {
  KeyHandle h = 1;
  for (const auto& entry : handles_) {  // the smallest free number
    if (entry.first != h) break;
    ++h;
  }
  handles_[h] = OpenKeyEntry{std::move(id), std::move(path), access};
  return h;
}

const FileHiveRegistry::OpenKeyEntry* FileHiveRegistry::Handle(KeyHandle key) const {
  const auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

long FileHiveRegistry::OpenKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) {
  if (key == nullptr) return reg::kInvalidParameter;
  Refresh();
  std::string normal = reg::NormalizePath(path);
  KeyId id{static_cast<std::uint32_t>(root), reg::FoldName(normal)};
  if (!id.second.empty() && Find(id) == nullptr) return reg::kFileNotFound;  // "" is the root itself
  *key = NewHandle(std::move(id), std::move(normal), access);
  return reg::kSuccess;
}

long FileHiveRegistry::CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) {
  if (key == nullptr) return reg::kInvalidParameter;
  Refresh();
  const std::string normal = reg::NormalizePath(path);
  KeyId id{static_cast<std::uint32_t>(root), reg::FoldName(normal)};
  if (!id.second.empty() && Find(id) == nullptr) {
    const long rc = Modify([&](Keys& keys) { return AddKeyAndParents(keys, id.first, normal); });
    if (rc != reg::kSuccess) return rc;
  }
  *key = NewHandle(std::move(id), normal, access);
  return reg::kSuccess;
}

long FileHiveRegistry::EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) {
  const OpenKeyEntry* open = Handle(key);
  if (open == nullptr) return reg::kInvalidHandle;
  if ((open->access & reg::kQueryValueAccess) == 0) return reg::kAccessDenied;
  if (name == nullptr || nameLength == nullptr) return reg::kInvalidParameter;
  Refresh();
  const Key* k = Find(open->id);
  if (k == nullptr || index >= k->values.size()) return reg::kNoMoreItems;
  const std::string& found = k->values[index].name;
  if (found.size() + 1 > *nameLength) return reg::kMoreData;
  std::memcpy(name, found.data(), found.size());
  name[found.size()] = '\0';
  *nameLength = static_cast<std::uint32_t>(found.size());
  return reg::kSuccess;
}

long FileHiveRegistry::QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) {
  const OpenKeyEntry* open = Handle(key);
  if (open == nullptr) return reg::kInvalidHandle;
  if ((open->access & reg::kQueryValueAccess) == 0) return reg::kAccessDenied;
  if (data != nullptr && size == nullptr) return reg::kInvalidParameter;
  Refresh();
  const Key* k = Find(open->id);
  if (k == nullptr) return reg::kFileNotFound;
  const std::string folded = reg::FoldName(name);
  const auto it = std::find_if(k->values.begin(), k->values.end(),
                               [&](const Value& v) { return reg::FoldName(v.name) == folded; });
  if (it == k->values.end()) return reg::kFileNotFound;
  if (type != nullptr) *type = it->type;
  const auto length = static_cast<std::uint32_t>(it->data.size());
  if (data != nullptr) {
    if (*size < length) {
      *size = length;
      return reg::kMoreData;
    }
    std::memcpy(data, it->data.data(), length);
  }
  if (size != nullptr) *size = length;
  return reg::kSuccess;
}

long FileHiveRegistry::SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t size) {
  const OpenKeyEntry* open = Handle(key);
  if (open == nullptr) return reg::kInvalidHandle;
  if ((open->access & reg::kSetValueAccess) == 0) return reg::kAccessDenied;
  if (data == nullptr && size != 0) return reg::kInvalidParameter;
  const KeyId id = open->id;
  const std::string path = open->path;
  const std::string folded = reg::FoldName(name);
  const std::string bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size);
  return Modify([&](Keys& keys) {
    // The key is missing when another process found the file unreadable and started
    // afresh; bring the key back rather than lose the write.
    AddKeyAndParents(keys, id.first, path);
    auto it = keys.find(id);
    auto& values = it->second.values;
    const auto v = std::find_if(values.begin(), values.end(),
                                [&](const Value& existing) { return reg::FoldName(existing.name) == folded; });
    if (v != values.end()) {
      v->type = type;
      v->data = bytes;
    } else {
      values.push_back(Value{std::string(name), type, bytes});
    }
    return true;
  });
}

long FileHiveRegistry::CloseKey(KeyHandle key) { return handles_.erase(key) == 1 ? reg::kSuccess : reg::kInvalidHandle; }

}  // namespace typeloom::platform
