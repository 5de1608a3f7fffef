#pragma once
// A downloaded program held by its descriptor from the first byte written to its
// start: what is verified is read through the descriptor, and what is started is
// the same open file (ProcessStarter::StartKept), whatever happens meanwhile to
// the names in its folder.
#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;

namespace typeloom::platform {

class KeptFile {
 public:
  // Creates `path` anew, readable and writable by its owner only; an existing file
  // or link of that name fails. Null with `error` set on failure.
  static std::unique_ptr<KeptFile> Create(const QString& path, QString* error);
  ~KeptFile();
  KeptFile(const KeptFile&) = delete;
  KeptFile& operator=(const KeptFile&) = delete;

  // Writes go to the file (until Seal).
  QIODevice& Device();
  // Ends the writing: the file is held read-only from here on (through the same open
  // file, never by its name), as a program must be to be started.
  bool Seal(QString* error);
  // The SHA-256 of the file's bytes and their number, read through the descriptor.
  bool Digest(QByteArray* sha256, qint64* size, QString* error);
  // Executable for its owner (changed through the descriptor).
  bool MakeExecutable(QString* error);
  // Gives the file the name `path` in its folder (a name only: the program started
  // is the open file).
  bool Rename(const QString& path, QString* error);
  // Removes the file's current name.
  void Remove();

  int Descriptor() const { return fd_; }
  QString Path() const { return path_; }

 private:
  KeptFile(int fd, QString path);
  int fd_;
  QString path_;
  std::unique_ptr<QIODevice> device_;
};

}  // namespace typeloom::platform
