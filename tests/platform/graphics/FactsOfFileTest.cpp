// The graphics facts read from a font file on disk: the same as from its bytes in
// memory, and no fault when the file shrinks while it is read.
#include "platform/graphics/FaceTables.h"
#include "platform/graphics/GraphicsFacts.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace typeloom::platform {
namespace {

const char kFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TextFacts FactsOfBytes(const QByteArray& bytes, unsigned index, bool scalable, bool fixed) {
  const FaceTables tables = ReadFaceTables(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size())),
      index);
  return TextFacts{PitchAndFamily(tables, scalable, fixed), LanguageInfo(tables)};
}

TEST(FactsOfFileTest, SameAsTheBytesInMemoryAndNothingForWhatIsNoFont) {
  QTemporaryDir temp;
  const QByteArray font = ReadAll(kFont);
  ASSERT_FALSE(font.isEmpty()) << kFont << " is missing (fonts-dejavu-core): run scripts/install-deps";
  struct Case {
    const char* name;
    QByteArray bytes;
    unsigned index;
  } cases[] = {
      {"font", font, 0},
      {"cut-in-its-tables", font.left(font.size() / 3), 0},
      {"directory-only", font.left(200), 0},
      {"empty", QByteArray(), 0},
      {"text", QByteArray("not a font at all"), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = temp.filePath(c.name);
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_EQ(out.write(c.bytes), c.bytes.size());
    out.close();
    for (const bool scalable : {true, false}) {
      const TextFacts fromFile = FactsOfFile(path.toStdString(), c.index, scalable, false);
      const TextFacts fromBytes = FactsOfBytes(c.bytes, c.index, scalable, false);
      EXPECT_EQ(fromFile.pitchAndFamily, fromBytes.pitchAndFamily);
      EXPECT_EQ(fromFile.languageInfo, fromBytes.languageInfo);
    }
  }
  // Not a regular file, or no file: the facts of no tables.
  const TextFacts none = FactsOfBytes(QByteArray(), 0, true, false);
  for (const char* path : {"/nonexistent/font.ttf", "/dev/zero", "/tmp"}) {
    const TextFacts facts = FactsOfFile(path, 0, true, false);
    EXPECT_EQ(facts.pitchAndFamily, none.pitchAndFamily) << path;
    EXPECT_EQ(facts.languageInfo, none.languageInfo) << path;
  }
}

// Another program rewrites the font in place while its facts are read: every read
// ends with the facts of some prefix of the file, none with a fault.
TEST(FactsOfFileTest, FontTruncatedWhileItsFactsAreRead) {
  QTemporaryDir temp;
  const QByteArray font = ReadAll(kFont);
  ASSERT_FALSE(font.isEmpty()) << kFont << " is missing (fonts-dejavu-core): run scripts/install-deps";
  const std::string path = temp.filePath("font.ttf").toStdString();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, font.constData(), static_cast<std::size_t>(font.size()), 0), font.size());

  std::atomic<bool> stop{false};
  std::thread shrinker([&] {
    // Cut to ever other lengths, then restore the whole file.
    for (unsigned round = 1; !stop.load(); ++round) {
      const off_t cut = static_cast<off_t>((round * 7919u) % static_cast<unsigned>(font.size()));
      if (::ftruncate(fd, cut) != 0) break;
      if (::pwrite(fd, font.constData(), static_cast<std::size_t>(font.size()), 0) != font.size()) break;
    }
  });
  const TextFacts whole = FactsOfBytes(font, 0, true, false);
  int wholeReads = 0;
  for (int i = 0; i < 300; ++i) {
    const TextFacts facts = FactsOfFile(path, 0, true, false);
    if (facts.pitchAndFamily == whole.pitchAndFamily && facts.languageInfo == whole.languageInfo) ++wholeReads;
  }
  stop = true;
  shrinker.join();
  ::close(fd);
  // Read once more at rest: the whole font again.
  const TextFacts rest = FactsOfFile(path, 0, true, false);
  EXPECT_EQ(rest.pitchAndFamily, whole.pitchAndFamily);
  EXPECT_EQ(rest.languageInfo, whole.languageInfo);
  RecordProperty("whole_reads", wholeReads);
}

}  // namespace
}  // namespace typeloom::platform
