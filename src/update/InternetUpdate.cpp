#include "update/InternetUpdate.h"

#include "app/FontModule.h"
#include "controls/PropertyStore.h"
#include "platform/crypto/Ed25519.h"
#include "platform/process/ProcessStarter.h"
#include "platform/ui/Clock.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/PlainText.h"
#include "platform/ui/WindowServices.h"
#include "update/UpdateStatus.h"
#include "update/UpdateText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>


namespace typeloom::update {
namespace {

namespace mb = platform::mb;

constexpr int kSurfaceTwips = 480;
constexpr QFileDevice::Permissions kOwnerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

}  // namespace

InternetUpdate::InternetUpdate(UpdateServices services, QWidget* parent)
    : QWidget(parent), services_(services), major_(app::kVersionMajor), minor_(app::kVersionMinor) {
  // A control with no surface of its own to use: it keeps its fixed size, unseen.
  setFixedSize(platform::TwipsToPixelsX(kSurfaceTwips), platform::TwipsToPixelsY(kSurfaceTwips));
  hide();
}

InternetUpdate::~InternetUpdate() { CloseStatus(); }

void InternetUpdate::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const QSize fixed(platform::TwipsToPixelsX(kSurfaceTwips), platform::TwipsToPixelsY(kSurfaceTwips));
  if (size() != fixed) resize(fixed);
}

void InternetUpdate::SetDownloadURL(const QString& value) {
  downloadUrl_ = value;
  MarkChanged("DownloadURL");
}

void InternetUpdate::SetUpdateFile(const QString& value) {
  updateFile_ = value;
  MarkChanged("UpdateFile");
}

void InternetUpdate::SetShowStatus(bool value) {
  showStatus_ = value;
  MarkChanged("ShowStatus");
}

void InternetUpdate::SetShowMessage(bool value) {
  showMessage_ = value;
  MarkChanged("ShowMessage");
}

void InternetUpdate::MarkChanged(const char* key) {
  if (store_ != nullptr) store_->MarkChanged(QString::fromLatin1(key));
}

void InternetUpdate::ReadProperties(const controls::PropertyStore& store) {
  downloadUrl_ = store.Read("DownloadURL", QString()).toString();
  updateFile_ = store.Read("UpdateFile", QString()).toString();
  showStatus_ = store.Read("ShowStatus", true).toBool();
  showMessage_ = store.Read("ShowMessage", true).toBool();
}

void InternetUpdate::WriteProperties(controls::PropertyStore& store) const {
  store.Write("DownloadURL", downloadUrl_);
  store.Write("UpdateFile", updateFile_);
  store.Write("ShowStatus", showStatus_);
  store.Write("ShowMessage", showMessage_);
}

void InternetUpdate::SetCurrentVersion(int major, int minor) {
  major_ = major;
  minor_ = minor;
}

QString InternetUpdate::Title() { return QStringLiteral(" %1 Update").arg(app::kAppTitle); }

QWidget* InternetUpdate::Owner() { return parentWidget() != nullptr ? window() : nullptr; }

InternetUpdate::CheckResult InternetUpdate::RunCheck(QString* text) {
  const QString title = Title();
  const QString versionUrl = SecureUrl(BuildFileUrl(downloadUrl_, QString(app::kAppTitle) + ".ver"));
  const platform::FetchReply version =
      versionUrl.isEmpty() ? platform::FetchReply{} : services_.http.Fetch(versionUrl, limits_.text);
  fetchResult_ = version.ok ? QString::fromUtf8(version.body) : QString(kFetchError);

  if (!version.ok || fetchResult_ == QLatin1StringView(kFetchError) || fetchResult_.isEmpty()) {
    if (showMessage_) services_.messages.Show(Owner(), kConnectionFailed, mb::kInformation | mb::kOkOnly, title);
    return CheckResult::Failed;
  }
  if (!IsNewerVersion(fetchResult_, major_, minor_)) {
    if (showMessage_) services_.messages.Show(Owner(), kNoNewerVersion, mb::kInformation | mb::kOkOnly, title);
    return CheckResult::NotNewer;
  }
  const QString newVersion = fetchResult_.trimmed();
  const QString notesUrl = SecureUrl(BuildFileUrl(downloadUrl_, QString(app::kAppTitle) + "." + newVersion + ".msg"));
  const platform::FetchReply notes =
      notesUrl.isEmpty() ? platform::FetchReply{} : services_.http.Fetch(notesUrl, limits_.text);
  if (text != nullptr) *text = BuildUpdateMessage(major_, minor_, newVersion, notes.ok ? QString::fromUtf8(notes.body) : QString());
  return CheckResult::Newer;
}

void InternetUpdate::Test() {
  QString text;
  if (RunCheck(&text) == CheckResult::Newer) {
    services_.messages.Show(Owner(), text, mb::kInformation | mb::kOkOnly, Title());
  }
  emit TestCompleted();
}

void InternetUpdate::TestAndUpdate() {
  QString text;
  if (RunCheck(&text) != CheckResult::Newer) return;
  const QString question = text + kCrLf + kCrLf + kCrLf + kAskToUpdate;
  if (services_.messages.Show(Owner(), question, mb::kQuestion | mb::kYesNo, Title()) == mb::kYes) {
    Update();
  } else {
    emit UpdateCanceled();
  }
}

void InternetUpdate::Update() {
  if (showStatus_) {
    status_ = new UpdateStatus(Owner());
    status_->setAttribute(Qt::WA_DeleteOnClose);
    status_->setCursor(Qt::WaitCursor);
    status_->show();
  }
  emit DownloadStarted();

  // A fresh folder of this user's alone (mkdtemp: mode 0700): nobody else can
  // plant a file or a link where the installer goes.
  QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/typeloom-update-XXXXXX"));
  bool started = false;
  if (folder.isValid() && QFile::setPermissions(folder.path(), kOwnerOnly)) {
    const QString path = LocalUpdatePath(folder.path(), updateFile_);
    if (DownloadFile(SecureUrl(BuildFileUrl(downloadUrl_, updateFile_)), path)) {
      QString error;
      started = services_.processes.StartDetached(path, {}, &error);
    }
  }
  if (started) {
    // The installer runs from the folder: it stays.
    folder.setAutoRemove(false);
    emit UpdateStarted();
    CloseStatus();
    return;
  }
  CloseStatus();
  emit DownloadFailed();
  services_.messages.Show(Owner(), ManualDownloadMessage(downloadUrl_), mb::kCritical | mb::kOkOnly, app::kAppTitle);
}

bool InternetUpdate::DownloadFile(const QString& url, const QString& path) {
  services_.events.ProcessEvents();  // the status window paints
  QString error;
  if (FetchVerified(url, path, &error)) return true;
  services_.messages.Show(Owner(), error, mb::kOkOnly, app::kAppTitle);
  return false;
}

bool InternetUpdate::FetchVerified(const QString& url, const QString& path, QString* error) {
  if (url.isEmpty()) {
    *error = platform::OneLineText(QStringLiteral("Only secure (https://) addresses are fetched: %1").arg(downloadUrl_));
    return false;
  }
  // Written under a temporary name; the installer's name is given only to a
  // complete file whose signature verifies.
  QFile part(path + QStringLiteral(".part"));
  if (!part.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    *error = part.errorString();
    return false;
  }
  const auto fail = [&](const QString& why) {
    *error = why;
    part.close();
    part.remove();
    return false;
  };
  const platform::FetchReply installer = services_.http.Fetch(url, limits_.installer, &part);
  if (!installer.ok) return fail(installer.error);
  if (!part.flush()) return fail(part.errorString());
  part.close();

  const platform::FetchReply signature = services_.http.Fetch(url + QStringLiteral(".sig"), limits_.signature);
  if (!signature.ok) return fail(signature.error);

  if (!part.open(QIODevice::ReadOnly)) return fail(part.errorString());
  const qint64 size = part.size();
  const uchar* bytes = size > 0 ? part.map(0, size) : nullptr;
  if (size > 0 && bytes == nullptr) return fail(part.errorString());
  const bool verified = platform::VerifyEd25519(
      publicKey_, QByteArrayView(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size)), signature.body);
  part.close();
  if (!verified) return fail(kBadSignature);

  if (!part.rename(path)) return fail(part.errorString());
  // Executable for its owner only.
  if (!QFile::setPermissions(path, kOwnerOnly)) {
    QFile::remove(path);
    *error = QStringLiteral("The update file could not be made executable.");
    return false;
  }
  return true;
}

void InternetUpdate::CloseStatus() {
  if (status_ == nullptr) return;
  status_->unsetCursor();
  status_->close();
  status_ = nullptr;
}

}  // namespace typeloom::update
