// The list filter's saved faces: the file reads back exactly what was written and
// nothing else; the private folder and file are refused unless they are the user's
// alone; the state changes with whatever fontconfig reads from the environment.
#include "platform/fonts/SavedCoverage.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace typeloom::platform {
namespace {

SavedCoverage Sample() {
  SavedCoverage saved;
  saved.state = std::string("state\0with\xff bytes", 17);
  saved.faces = {{0, 0x1122334455667788ull}, {1958, 42}, {7, 9}};
  saved.names = {{"Cover Greek", 1, 0, {}},
                 {"DejaVu Sans", 1, 2, "DejaVu Sans"},  // picked among faces 1 and 2
                 {"Missing", SavedCoverage::kNoFace, 0, {}},
                 {"Noto Sans", 0, 0, {}}};
  return saved;
}

bool Same(const SavedCoverage& a, const SavedCoverage& b) {
  if (a.state != b.state || a.faces.size() != b.faces.size() || a.names.size() != b.names.size()) return false;
  for (std::size_t i = 0; i < a.faces.size(); ++i) {
    if (a.faces[i].position != b.faces[i].position || a.faces[i].fingerprint != b.faces[i].fingerprint) return false;
  }
  for (std::size_t i = 0; i < a.names.size(); ++i) {
    if (a.names[i].name != b.names[i].name || a.names[i].face != b.names[i].face ||
        a.names[i].pickAmong != b.names[i].pickAmong || a.names[i].request != b.names[i].request) {
      return false;
    }
  }
  return true;
}

void PutNumber(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// `body` with its checksum, as a file whose damage the checksum cannot tell.
std::string Sealed(std::string body) {
  PutNumber(body, HashBytes(body), 8);
  return body;
}

TEST(SavedCoverageTest, ReadsBackWhatWasWritten) {
  for (const SavedCoverage& saved : {Sample(), SavedCoverage{}}) {
    const std::string bytes = WriteSavedCoverage(saved);
    const std::optional<SavedCoverage> read = ReadSavedCoverage(bytes);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(Same(*read, saved));
  }
}

TEST(SavedCoverageTest, RefusesDamagedOrMalformedFiles) {
  const std::string good = WriteSavedCoverage(Sample());
  const std::string body = good.substr(0, good.size() - 8);
  const std::string magic = good.substr(0, good.find('\n') + 1);
  // Every length cut short, and every byte changed, is refused.
  for (std::size_t size = 0; size < good.size(); ++size) {
    EXPECT_FALSE(ReadSavedCoverage(good.substr(0, size))) << size;
  }
  for (std::size_t at = 0; at < good.size(); ++at) {
    std::string changed = good;
    changed[at] = static_cast<char>(changed[at] ^ 0x10);
    EXPECT_FALSE(ReadSavedCoverage(changed)) << at;
  }
  const auto with = [](std::function<void(SavedCoverage&)> change) {
    SavedCoverage saved = Sample();
    change(saved);
    return WriteSavedCoverage(saved);
  };
  std::string huge = magic;
  PutNumber(huge, 0xFFFFFFFFu, 4);  // a state longer than the file
  std::string manyFaces = magic;
  PutNumber(manyFaces, 0, 4);
  PutNumber(manyFaces, 0x10000000u, 4);  // more faces than bytes
  std::string manyNames = magic;
  PutNumber(manyNames, 0, 4);
  PutNumber(manyNames, 0, 4);
  PutNumber(manyNames, 0x10000000u, 4);  // more names than bytes
  const std::map<std::string, std::string> rows = {
      {"empty", ""},
      {"other magic", Sealed("typeloom list faces 1\n" + body.substr(magic.size()))},
      {"garbage", std::string(300, '\x5a')},
      {"bytes after the names", Sealed(body + "x")},
      {"state longer than the file", Sealed(huge)},
      {"more faces than bytes", Sealed(manyFaces)},
      {"more names than bytes", Sealed(manyNames)},
      {"face beyond the faces", with([](SavedCoverage& s) { s.names[0].face = 3; })},
      {"pick among one face", with([](SavedCoverage& s) { s.names[1].pickAmong = 1; })},
      {"pick beyond the faces", with([](SavedCoverage& s) { s.names[1].pickAmong = 3; })},
      {"pick far beyond the faces", with([](SavedCoverage& s) { s.names[1].pickAmong = 0xFFFFFFFFu; })},
      {"pick without a request", with([](SavedCoverage& s) { s.names[1].request.clear(); })},
      {"pick in no face", with([](SavedCoverage& s) { s.names[2] = {"Missing", SavedCoverage::kNoFace, 2, "M"}; })},
      {"empty name", with([](SavedCoverage& s) { s.names[0].name.clear(); })},
      {"names out of order", with([](SavedCoverage& s) { std::swap(s.names[0], s.names[1]); })},
      {"repeated name", with([](SavedCoverage& s) { s.names[1].name = s.names[0].name; })},
  };
  for (const auto& [label, bytes] : rows) EXPECT_FALSE(ReadSavedCoverage(bytes)) << label;
}

class PrivateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/typeloom-saved-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = pattern;
    folder = root + "/cache/typeloom";
  }
  void TearDown() override { std::system(("rm -rf '" + root + "'").c_str()); }

  static mode_t Mode(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }

  std::string root, folder;
};

TEST_F(PrivateFileTest, WritesAPrivateFileInAPrivateFolderAndReadsItBack) {
  ASSERT_TRUE(WritePrivateFile(folder, "f", "first"));
  EXPECT_EQ(Mode(root + "/cache"), 0700u);
  EXPECT_EQ(Mode(folder), 0700u);
  EXPECT_EQ(Mode(folder + "/f"), 0600u);
  EXPECT_EQ(ReadPrivateFile(folder, "f", 100).value_or("?"), "first");
  ASSERT_TRUE(WritePrivateFile(folder, "f", "second"));
  EXPECT_EQ(ReadPrivateFile(folder, "f", 100).value_or("?"), "second");
  EXPECT_FALSE(ReadPrivateFile(folder, "f", 5)) << "over the limit";
  EXPECT_FALSE(ReadPrivateFile(folder, "missing", 100));
  // Nothing is left beside the file.
  EXPECT_EQ(std::system(("test $(ls -A '" + folder + "' | wc -l) -eq 1").c_str()), 0);
}

TEST_F(PrivateFileTest, RefusesWhatOthersMayReadOrChange) {
  struct Row {
    const char* label;
    std::function<void(const std::string& folder)> spoil;
    bool writable;  // a new file may still replace the spoiled one
  };
  const std::vector<Row> rows = {
      {"folder open to others", [](const std::string& f) { ::chmod(f.c_str(), 0755); }, false},
      {"file open to others", [](const std::string& f) { ::chmod((f + "/f").c_str(), 0644); }, true},
      {"file is a link", [](const std::string& f) {
         ::rename((f + "/f").c_str(), (f + "/target").c_str());
         ::symlink((f + "/target").c_str(), (f + "/f").c_str());
       }, true},
      {"folder is a link", [](const std::string& f) {
         ::rename(f.c_str(), (f + "-real").c_str());
         ::symlink((f + "-real").c_str(), f.c_str());
       }, false},
      {"file is a folder", [](const std::string& f) {
         ::unlink((f + "/f").c_str());
         ::mkdir((f + "/f").c_str(), 0700);
       }, false},
      {"file of another user", [](const std::string& f) {
         if (::geteuid() == 0 && ::chown((f + "/f").c_str(), 65534, 65534) != 0) std::abort();
       }, true},
      {"folder of another user", [](const std::string& f) {
         if (::geteuid() == 0 && ::chown(f.c_str(), 65534, 65534) != 0) std::abort();
       }, false},
  };
  for (const Row& row : rows) {
    std::system(("rm -rf '" + root + "/cache'").c_str());
    ASSERT_TRUE(WritePrivateFile(folder, "f", "bytes")) << row.label;
    row.spoil(folder);
    if (::geteuid() != 0 && std::string(row.label).find("another user") != std::string::npos) continue;
    EXPECT_FALSE(ReadPrivateFile(folder, "f", 100)) << row.label;
    EXPECT_EQ(WritePrivateFile(folder, "f", "new"), row.writable) << row.label;
    if (row.writable) {
      EXPECT_EQ(ReadPrivateFile(folder, "f", 100).value_or("?"), "new") << row.label;
    }
  }
  // A link's target is never written through: the link itself is replaced.
  std::system(("rm -rf '" + root + "/cache'").c_str());
  ASSERT_TRUE(WritePrivateFile(folder, "target", "bytes"));
  ASSERT_EQ(::symlink((folder + "/target").c_str(), (folder + "/f").c_str()), 0);
  EXPECT_FALSE(ReadPrivateFile(folder, "f", 100));
  EXPECT_TRUE(WritePrivateFile(folder, "f", "new"));
  EXPECT_EQ(ReadPrivateFile(folder, "f", 100).value_or("?"), "new");
  std::ifstream target(folder + "/target");
  std::string kept;
  std::getline(target, kept);
  EXPECT_EQ(kept, "bytes");
}

TEST(SavedCoverageTest, CacheFolderFromTheEnvironment) {
  struct Row {
    const char* cache;
    const char* home;
    const char* folder;
  };
  const Row rows[] = {
      {"/c", "/h", "/c/typeloom"},
      {"relative", "/h", "/h/.cache/typeloom"},
      {"", "/h", "/h/.cache/typeloom"},
      {nullptr, "/h", "/h/.cache/typeloom"},
      {nullptr, "relative", ""},
      {nullptr, nullptr, ""},
  };
  for (const Row& row : rows) {
    const auto env = [&](const char* name) -> const char* {
      if (std::string_view(name) == "XDG_CACHE_HOME") return row.cache;
      return std::string_view(name) == "HOME" ? row.home : nullptr;
    };
    EXPECT_EQ(PrivateCacheFolder(env), row.folder)
        << (row.cache ? row.cache : "-") << " " << (row.home ? row.home : "-");
  }
}

// An environment list as environ gives it.
struct Environment {
  explicit Environment(std::vector<std::string> e) : entries(std::move(e)) {
    for (std::string& entry : entries) pointers.push_back(entry.data());
    pointers.push_back(nullptr);
  }
  char** get() { return pointers.data(); }
  std::vector<std::string> entries;
  std::vector<char*> pointers;
};

TEST(SavedCoverageTest, StateAndFileNameFollowWhatFontconfigReadsFromTheEnvironment) {
  const std::vector<std::string> base = {"HOME=/h", "LANG=C.UTF-8", "PATH=/bin",
                                         "FONTCONFIG_FILE=/etc/fonts/fonts.conf"};
  Environment plain(base);
  const std::optional<std::string> state = FontconfigState(plain.get());
  ASSERT_TRUE(state.has_value());
  const std::string name = SavedFileName("f-", plain.get(), "in");
  EXPECT_EQ(FontconfigState(plain.get()), state) << "the same state twice";
  struct Row {
    const char* label;
    std::string entry;  // added to the base
    bool sameState;
    bool sameName;
  };
  const std::vector<Row> rows = {
      {"unrelated variable", "TERM=xterm", true, true},
      {"fontconfig variable", "FC_LANG=el", false, false},
      {"fontconfig file", "FONTCONFIG_PATH=/x", false, false},
      {"locale", "LC_CTYPE=el_GR.UTF-8", false, false},
      {"language list", "LANGUAGE=el", false, false},
      {"desktop", "XDG_CURRENT_DESKTOP=KDE", false, true},
      {"user's configuration folder", "XDG_CONFIG_HOME=/elsewhere", false, true},
  };
  for (const Row& row : rows) {
    std::vector<std::string> entries = base;
    entries.push_back(row.entry);
    Environment changed(entries);
    EXPECT_EQ(FontconfigState(changed.get()) == state, row.sameState) << row.label;
    EXPECT_EQ(SavedFileName("f-", changed.get(), "in") == name, row.sameName) << row.label;
  }
  Environment home({"HOME=/elsewhere", "LANG=C.UTF-8", "PATH=/bin", "FONTCONFIG_FILE=/etc/fonts/fonts.conf"});
  EXPECT_NE(FontconfigState(home.get()), state) << "home";
  EXPECT_NE(SavedFileName("f-", plain.get(), "other"), name) << "the caller's inputs";
}

}  // namespace
}  // namespace typeloom::platform
