#pragma once
// What the program created for its bindings: the folders it made for its files, and
// the files desktop tools generated only because of them (a mimeinfo.cache, a MIME
// database). Kept in a record file, so that undoing a binding removes exactly these,
// once they hold nothing else, and never anything the user or another program made.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace typeloom::platform {

// The record's paths: one absolute, clean path a line; anything else is dropped.
// Bounded: at most kMaxCreatedPaths paths of at most 4096 bytes.
inline constexpr int kMaxCreatedPaths = 256;
QStringList ParseCreatedRecord(const QByteArray& text);

class CreatedPaths {
 public:
  explicit CreatedPaths(QString recordPath) : record_(std::move(recordPath)) {}

  // Makes the folder and its missing parents, recording each one it made.
  bool MakeFolder(const QString& folder);
  // Records `path` when it exists now but did not before.
  void NoteIfNew(const QString& path, bool existedBefore);
  // For the recorded paths at or under `base`: removes a mimeinfo.cache that lists no
  // type and a MIME database whose packages folder is empty, then every recorded
  // folder that is empty, deepest first; forgets what is gone.
  void Tidy(const QString& base);
  QStringList Recorded() const;

 private:
  void Store(const QStringList& paths);
  QString record_;
};

}  // namespace typeloom::platform
