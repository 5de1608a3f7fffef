#pragma once
// The update control: compares the program's version with the one published in
// a web folder, tells the user what changed, and on request downloads the signed
// installer, starts it and tells its host to end.
#include "platform/net/HttpClient.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

namespace typeloom::platform {
class EventPump;
class KeptFile;
class MessageBoxes;
class ProcessStarter;
}  // namespace typeloom::platform

namespace typeloom::controls {
class PropertyStore;
}

namespace typeloom::update {

class UpdateStatus;

struct UpdateServices {
  platform::HttpClient& http;
  platform::MessageBoxes& messages;
  platform::EventPump& events;
  platform::ProcessStarter& processes;
};

// Time and size limits of the three kinds of fetch.
struct UpdateLimits {
  platform::FetchLimits text{30000, 120000, 64 * 1024};                          // version and change notes
  platform::FetchLimits installer{30000, 30 * 60 * 1000, 512LL * 1024 * 1024};  // the installer
  platform::FetchLimits signature{30000, 120000, 1024};                          // a signature
};

inline constexpr char kFetchError[] = "*Error*";
inline constexpr char kConnectionFailed[] = "A connection could not made at this time.\r\nPlease try again later.";
inline constexpr char kNoNewerVersion[] = "No newer version is available.";
inline constexpr char kAskToUpdate[] = "Do you wish to update?";
inline constexpr char kBadSignature[] = "The downloaded update does not carry the signature of this program's maker.";

class InternetUpdate : public QWidget {
  Q_OBJECT
 public:
  // What the check found.
  enum class CheckResult { Failed, NotNewer, Newer };

  explicit InternetUpdate(UpdateServices services, QWidget* parent = nullptr);
  ~InternetUpdate() override;

  QString DownloadURL() const { return downloadUrl_; }
  void SetDownloadURL(const QString& value);
  QString UpdateFile() const { return updateFile_; }
  void SetUpdateFile(const QString& value);
  bool ShowStatus() const { return showStatus_; }
  void SetShowStatus(bool value);
  bool ShowMessage() const { return showMessage_; }
  void SetShowMessage(bool value);
  // The version text of the last fetch, or "*Error*" after a failed one.
  QString FetchResult() const { return fetchResult_; }

  // The host's property store: setters mark their property changed there.
  void SetPropertyStore(controls::PropertyStore* store) { store_ = store; }
  // Reads the saved properties (a control placed anew keeps its initial values).
  void ReadProperties(const controls::PropertyStore& store);
  void WriteProperties(controls::PropertyStore& store) const;

  // Not saved with the control: what the host's build and run decide.
  void SetPublicKey(const QByteArray& rawKey) { publicKey_ = rawKey; }
  void SetCurrentVersion(int major, int minor);
  void SetLimits(const UpdateLimits& limits) { limits_ = limits; }

  // Checks; when a newer version exists, shows what changed and asks; Yes updates.
  void TestAndUpdate();
  // Checks and shows the result; raises TestCompleted whatever the outcome.
  void Test();
  // Downloads and verifies the installer, starts it and raises UpdateStarted.
  void Update();

  // The check shared by Test and TestAndUpdate; `text` gets the update message.
  CheckResult RunCheck(QString* text);
  // The message-box title: " Typeloom Update".
  static QString Title();

 signals:
  void TestCompleted();
  void TestFailed();
  void DownloadStarted();
  void DownloadFailed();
  void UpdateStarted();
  void UpdateCanceled();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Fetches url into `path`, verified by its signed manifest, and keeps it open for
  // its start; null after showing why.
  std::unique_ptr<platform::KeptFile> DownloadFile(const QString& url, const QString& path);
  std::unique_ptr<platform::KeptFile> FetchVerified(const QString& url, const QString& path, QString* error);
  // Whether `url`.sig is the maker's signature of `body`.
  bool SignatureVerifies(const QString& url, const QByteArray& body);
  void MarkChanged(const char* key);
  void CloseStatus();
  QWidget* Owner();

  UpdateServices services_;
  QString downloadUrl_;
  QString updateFile_;
  bool showStatus_ = true;
  bool showMessage_ = true;
  QString fetchResult_;
  QString checkedVersion_;  // the signed version the last check announced
  QByteArray publicKey_;
  int major_;
  int minor_;
  UpdateLimits limits_;
  controls::PropertyStore* store_ = nullptr;
  QPointer<UpdateStatus> status_;
};

}  // namespace typeloom::update
