#include "platform/registry/FileHiveRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <optional>
#include <string>
#include <thread>

namespace typeloom::platform {
namespace {

constexpr RootKey kRoot = RootKey::CurrentUser;

// While alive, the calling thread obeys file modes as an unprivileged user does: the
// capabilities that let root write anywhere leave its effective set (they stay
// permitted, so they come back afterwards). Capabilities belong to a thread, and the
// raw system call changes only this one.
class ObeyFileModes {
 public:
  ObeyFileModes() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    ok_ = ::syscall(SYS_capget, &header, saved_) == 0;
    if (!ok_) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
      lowered[cap / 32].effective &= ~(1u << (cap % 32));
    }
    ok_ = ::syscall(SYS_capset, &header, lowered) == 0;
  }
  ~ObeyFileModes() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    if (ok_) ::syscall(SYS_capset, &header, saved_);
  }
  ObeyFileModes(const ObeyFileModes&) = delete;
  ObeyFileModes& operator=(const ObeyFileModes&) = delete;
  bool ok() const { return ok_; }

 private:
  __user_cap_data_struct saved_[2] = {};
  bool ok_ = false;
};

void Write(Registry& r, const std::string& path, const std::string& name, const std::string& data,
           long expected = reg::kSuccess) {
  KeyHandle h = 0;
  ASSERT_EQ(r.CreateKey(kRoot, path, reg::kKeyAllAccess, &h), reg::kSuccess);
  EXPECT_EQ(r.SetValue(h, name, reg::kSz, reinterpret_cast<const std::uint8_t*>(data.data()),
                       static_cast<std::uint32_t>(data.size())),
            expected);
  r.CloseKey(h);
}

std::optional<std::string> Read(Registry& r, const std::string& path, const std::string& name) {
  KeyHandle h = 0;
  if (r.OpenKey(kRoot, path, reg::kKeyRead, &h) != reg::kSuccess) return std::nullopt;
  std::uint32_t type = 0, size = 0;
  std::optional<std::string> out;
  if (r.QueryValue(h, name, &type, nullptr, &size) == reg::kSuccess) {
    std::string data(size, '\0');
    if (r.QueryValue(h, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size) == reg::kSuccess) out = data;
  }
  r.CloseKey(h);
  return out;
}

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class FileHiveRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  std::string hive() const { return (dir_.path() + "/sub/registry.hive").toStdString(); }
  QTemporaryDir dir_;
};

TEST_F(FileHiveRegistryTest, ValuesPersistAcrossInstancesWithTypesAndOrder) {
  {
    FileHiveRegistry r(hive());
    Write(r, "Software\\Typeloom", "Zeta", "z");
    Write(r, "Software\\Typeloom", "alpha", std::string("a\0b", 3));
    KeyHandle h = 0;
    ASSERT_EQ(r.OpenKey(kRoot, "Software\\Typeloom", reg::kKeyAllAccess, &h), reg::kSuccess);
    const std::uint8_t raw[] = {1, 2, 3};
    EXPECT_EQ(r.SetValue(h, "Blob", 77, raw, 3), reg::kSuccess);
    r.CloseKey(h);
  }
  FileHiveRegistry again(hive());
  EXPECT_EQ(Read(again, "software\\TYPELOOM", "ALPHA"), std::string("a\0b", 3));
  KeyHandle h = 0;
  ASSERT_EQ(again.OpenKey(kRoot, "Software\\Typeloom", reg::kKeyRead, &h), reg::kSuccess);
  const char* expectedNames[] = {"Zeta", "alpha", "Blob"};
  for (std::uint32_t i = 0; i < 3; ++i) {
    char name[32];
    std::uint32_t length = sizeof name;
    ASSERT_EQ(again.EnumValue(h, i, name, &length), reg::kSuccess);
    EXPECT_STREQ(name, expectedNames[i]);
    EXPECT_EQ(length, std::strlen(expectedNames[i]));
  }
  std::uint32_t type = 0, size = 0;
  ASSERT_EQ(again.QueryValue(h, "blob", &type, nullptr, &size), reg::kSuccess);
  EXPECT_EQ(type, 77u);
  EXPECT_EQ(size, 3u);
  again.CloseKey(h);
}

TEST_F(FileHiveRegistryTest, KeysCompareWithoutCaseAndKeepTheirCase) {
  FileHiveRegistry r(hive());
  Write(r, "\\Fonts\\Ünïcode\\", "Größe", "1");
  Write(r, "FONTS\\ÜNÏCODE", "GRÖßE", "2");
  EXPECT_EQ(Read(r, "fonts\\ünïcode", "größe"), "2");
  KeyHandle h = 0;
  ASSERT_EQ(r.OpenKey(kRoot, "fonts\\ünïcode", reg::kKeyRead, &h), reg::kSuccess);
  char name[32];
  std::uint32_t length = sizeof name;
  ASSERT_EQ(r.EnumValue(h, 0, name, &length), reg::kSuccess);
  EXPECT_STREQ(name, "Größe");
  length = sizeof name;
  EXPECT_EQ(r.EnumValue(h, 1, name, &length), reg::kNoMoreItems);
  r.CloseKey(h);
  EXPECT_EQ(r.OpenKey(RootKey::LocalMachine, "Fonts", reg::kKeyRead, &h), reg::kFileNotFound);  // other root
}

TEST_F(FileHiveRegistryTest, ReturnCodes) {
  FileHiveRegistry r(hive());
  Write(r, "A\\B", "name", "value");
  KeyHandle readOnly = 0;
  ASSERT_EQ(r.OpenKey(kRoot, "a\\b", reg::kKeyRead, &readOnly), reg::kSuccess);
  const std::uint8_t byte = 1;
  EXPECT_EQ(r.SetValue(readOnly, "x", reg::kSz, &byte, 1), reg::kAccessDenied);

  KeyHandle missing = 0;
  EXPECT_EQ(r.OpenKey(kRoot, "A\\C", reg::kKeyRead, &missing), reg::kFileNotFound);
  EXPECT_EQ(r.CloseKey(12345), reg::kInvalidHandle);

  char small[5];
  std::uint32_t length = sizeof small;  // "name" needs 5 with the zero: fits
  EXPECT_EQ(r.EnumValue(readOnly, 0, small, &length), reg::kSuccess);
  length = 4;
  EXPECT_EQ(r.EnumValue(readOnly, 0, small, &length), reg::kMoreData);
  EXPECT_EQ(length, 4u);  // unchanged on failure

  std::uint8_t data[2];
  std::uint32_t size = sizeof data;
  EXPECT_EQ(r.QueryValue(readOnly, "name", nullptr, data, &size), reg::kMoreData);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(r.QueryValue(readOnly, "nope", nullptr, nullptr, &size), reg::kFileNotFound);

  EXPECT_EQ(r.CloseKey(readOnly), reg::kSuccess);
  EXPECT_EQ(r.CloseKey(readOnly), reg::kInvalidHandle);
  EXPECT_EQ(r.EnumValue(readOnly, 0, small, &length), reg::kInvalidHandle);
}

TEST_F(FileHiveRegistryTest, CorruptOrTruncatedFileReadsEmptyAndIsBackedUp) {
  {
    FileHiveRegistry r(hive());
    Write(r, "Keep", "v", "1");
  }
  const QString file = QString::fromStdString(hive());
  const QByteArray good = FileBytes(file);
  const QByteArray damaged[] = {good.left(good.size() / 2), QByteArray("garbage"), QByteArray(),
                                [&] {
                                  QByteArray b = good;
                                  b[b.size() / 2] = static_cast<char>(b[b.size() / 2] ^ 0x40);
                                  return b;
                                }()};
  for (const QByteArray& bad : damaged) {
    SCOPED_TRACE(bad.size());
    QFile::remove(file + ".corrupt");
    {
      QFile f(file);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
      f.write(bad);
    }
    FileHiveRegistry r(hive());
    EXPECT_EQ(Read(r, "Keep", "v"), std::nullopt);
    EXPECT_EQ(FileBytes(file), bad) << "reading must not touch the file";
    Write(r, "New", "v", "2");
    EXPECT_EQ(r.BackupPath(), (file + ".corrupt").toStdString());
    EXPECT_EQ(FileBytes(file + ".corrupt"), bad);
    FileHiveRegistry after(hive());
    EXPECT_EQ(Read(after, "New", "v"), "2");
  }
}

TEST_F(FileHiveRegistryTest, EarlierBackupIsNotOverwritten) {
  const QString file = QString::fromStdString(hive());
  QDir().mkpath(QFileInfo(file).absolutePath());
  for (const char* content : {"first bad", "second bad"}) {
    {
      QFile f(file);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
      f.write(content);
    }
    FileHiveRegistry r(hive());
    Write(r, "K", "v", "1");
  }
  EXPECT_EQ(FileBytes(file + ".corrupt"), "first bad");
  EXPECT_EQ(FileBytes(file + ".corrupt.1"), "second bad");
}

TEST_F(FileHiveRegistryTest, FailedWriteLeavesThePreviousFileIntact) {
  FileHiveRegistry r(hive());
  Write(r, "Keep", "v", "old");
  const QString file = QString::fromStdString(hive());
  const QByteArray before = FileBytes(file);

  // A file-size limit below what the new content needs makes the write fail part way,
  // as a full disk would; root ignores folder permissions, this limit it does not.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = static_cast<rlim_t>(before.size());
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  Write(r, "Keep", "v", std::string(4096, 'n'), reg::kWriteFault);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(FileBytes(file), before);
  EXPECT_EQ(QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files), QStringList{"registry.hive"})
      << "no temporary or lock file is left behind";
  EXPECT_EQ(Read(r, "Keep", "v"), "old");
  FileHiveRegistry fresh(hive());
  EXPECT_EQ(Read(fresh, "Keep", "v"), "old");
}

TEST_F(FileHiveRegistryTest, ReadOnlyFolderGivesWriteFault) {
  FileHiveRegistry r(hive());
  Write(r, "Keep", "v", "old");
  const QString folder = QFileInfo(QString::fromStdString(hive())).absolutePath();
  ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  {
    const ObeyFileModes unprivileged;  // root included
    ASSERT_TRUE(unprivileged.ok());
    ASSERT_FALSE(QFile(folder + "/probe").open(QIODevice::WriteOnly)) << "the folder must refuse new files";
    Write(r, "Keep", "v", "new", reg::kWriteFault);
  }
  ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
  EXPECT_EQ(Read(r, "Keep", "v"), "old");
  FileHiveRegistry fresh(hive());
  EXPECT_EQ(Read(fresh, "Keep", "v"), "old");
}

TEST_F(FileHiveRegistryTest, InstancesSeeEachOthersWritesAndKeepThem) {
  FileHiveRegistry a(hive());
  FileHiveRegistry b(hive());
  Write(a, "FromA", "v", "a");
  Write(b, "FromB", "v", "b");  // b read the file before a wrote it
  EXPECT_EQ(Read(b, "FromA", "v"), "a");
  EXPECT_EQ(Read(a, "FromB", "v"), "b");
  FileHiveRegistry c(hive());
  EXPECT_EQ(Read(c, "FromA", "v"), "a");
  EXPECT_EQ(Read(c, "FromB", "v"), "b");
}

TEST_F(FileHiveRegistryTest, ConcurrentWritersLoseNothing) {
  constexpr int kWriters = 3, kKeysEach = 15;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([this, w] {
      FileHiveRegistry r(hive());
      for (int k = 0; k < kKeysEach; ++k) {
        KeyHandle h = 0;
        const std::string key = "W" + std::to_string(w) + "\\K" + std::to_string(k);
        if (r.CreateKey(kRoot, key, reg::kKeyAllAccess, &h) != reg::kSuccess) continue;
        const std::uint8_t byte = static_cast<std::uint8_t>(k);
        r.SetValue(h, "v", reg::kSz, &byte, 1);
        r.CloseKey(h);
      }
    });
  }
  for (auto& t : writers) t.join();
  FileHiveRegistry r(hive());
  for (int w = 0; w < kWriters; ++w) {
    for (int k = 0; k < kKeysEach; ++k) {
      EXPECT_EQ(Read(r, "W" + std::to_string(w) + "\\K" + std::to_string(k), "v"),
                std::string(1, static_cast<char>(k)))
          << w << "/" << k;
    }
  }
}

TEST_F(FileHiveRegistryTest, DefaultHiveLivesInTheXdgDataFolder) {
  const QByteArray saved = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", dir_.path().toUtf8());
  EXPECT_EQ(FileHiveRegistry::DefaultPath(), (dir_.path() + "/typeloom/registry.hive").toStdString());
  {
    FileHiveRegistry r;
    Write(r, "K", "v", "1");
  }
  EXPECT_TRUE(QFileInfo::exists(dir_.path() + "/typeloom/registry.hive"));
  if (saved.isNull()) {
    qunsetenv("XDG_DATA_HOME");
  } else {
    qputenv("XDG_DATA_HOME", saved);
  }
}

}  // namespace
}  // namespace typeloom::platform
