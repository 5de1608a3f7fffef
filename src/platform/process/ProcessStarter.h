#pragma once
// Starting another program without waiting for it.
#include <QString>
#include <QStringList>

namespace typeloom::platform {

class KeptFile;

class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // Starts `program` with `arguments` (no shell) in its own folder and returns at
  // once; false with `error` set when it could not be started.
  virtual bool StartDetached(const QString& program, const QStringList& arguments, QString* error) = 0;
  // Starts the very file held by `file` (a sealed KeptFile), in its folder, and
  // returns at once; a rename or swap of names in the folder cannot change what
  // runs. A script sees its own path as /dev/fd/N.
  virtual bool StartKept(const KeptFile& file, const QStringList& arguments, QString* error) = 0;
};

class QtProcessStarter final : public ProcessStarter {
 public:
  bool StartDetached(const QString& program, const QStringList& arguments, QString* error) override;
  bool StartKept(const KeptFile& file, const QStringList& arguments, QString* error) override;
};

}  // namespace typeloom::platform
