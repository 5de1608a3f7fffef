#pragma once
// The process's current folder moved into a fresh temporary folder that holds one
// empty file, and moved back when the object goes, also when an assertion ends the
// test early: for code that resolves names relative to the current folder.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

namespace typeloom::test {

class CurrentFolderWithFile {
 public:
  explicit CurrentFolderWithFile(const QString& fileName) : before_(QDir::currentPath()) {
    QFile file(dir_.filePath(fileName));
    ok_ = dir_.isValid() && file.open(QIODevice::WriteOnly) && QDir::setCurrent(dir_.path());
  }
  ~CurrentFolderWithFile() { QDir::setCurrent(before_); }
  CurrentFolderWithFile(const CurrentFolderWithFile&) = delete;
  CurrentFolderWithFile& operator=(const CurrentFolderWithFile&) = delete;

  // The folder exists, holds the file and is the current folder.
  bool ok() const { return ok_; }
  QString AbsolutePath(const QString& fileName) const { return QFileInfo(dir_.filePath(fileName)).absoluteFilePath(); }

 private:
  QTemporaryDir dir_;
  QString before_;
  bool ok_ = false;
};

}  // namespace typeloom::test
