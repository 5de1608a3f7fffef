#include "update/InternetUpdate.h"

#include "app/FontModule.h"
#include "controls/PropertyStore.h"
#include "platform/crypto/Ed25519.h"
#include "platform/process/KeptFile.h"
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
  // The version counts only with the maker's signature: a mirror cannot announce a
  // version of its own.
  const bool signedVersion = version.ok && SignatureVerifies(versionUrl, version.body);
  fetchResult_ = signedVersion ? QString::fromUtf8(version.body) : QString(kFetchError);
  checkedVersion_.clear();

  if (!signedVersion || fetchResult_ == QLatin1StringView(kFetchError) || fetchResult_.isEmpty()) {
    if (showMessage_) services_.messages.Show(Owner(), kConnectionFailed, mb::kInformation | mb::kOkOnly, title);
    return CheckResult::Failed;
  }
  if (!IsNewerVersion(fetchResult_, major_, minor_)) {
    if (showMessage_) services_.messages.Show(Owner(), kNoNewerVersion, mb::kInformation | mb::kOkOnly, title);
    return CheckResult::NotNewer;
  }
  const QString newVersion = fetchResult_.trimmed();
  checkedVersion_ = newVersion;
  const QString notesUrl = SecureUrl(BuildFileUrl(downloadUrl_, QString(app::kAppTitle) + "." + newVersion + ".msg"));
  const platform::FetchReply notes =
      notesUrl.isEmpty() ? platform::FetchReply{} : services_.http.Fetch(notesUrl, limits_.text);
  // Change notes are shown only as the maker signed them; others are left out.
  const bool signedNotes = notes.ok && SignatureVerifies(notesUrl, notes.body);
  if (text != nullptr) *text = BuildUpdateMessage(major_, minor_, newVersion, signedNotes ? QString::fromUtf8(notes.body) : QString());
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
    // Held open from the download to the start: the file that runs is the file
    // verified, whatever happens to the names in the folder meanwhile.
    if (const std::unique_ptr<platform::KeptFile> installer =
            DownloadFile(SecureUrl(BuildFileUrl(downloadUrl_, updateFile_)), path)) {
      QString error;
      started = services_.processes.StartKept(*installer, {}, &error);
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

std::unique_ptr<platform::KeptFile> InternetUpdate::DownloadFile(const QString& url, const QString& path) {
  services_.events.ProcessEvents();  // the status window paints
  QString error;
  if (std::unique_ptr<platform::KeptFile> installer = FetchVerified(url, path, &error)) return installer;
  services_.messages.Show(Owner(), error, mb::kOkOnly, app::kAppTitle);
  return nullptr;
}

bool InternetUpdate::SignatureVerifies(const QString& url, const QByteArray& body) {
  if (publicKey_.isEmpty()) return false;
  const platform::FetchReply signature = services_.http.Fetch(url + QStringLiteral(".sig"), limits_.signature);
  return signature.ok && platform::VerifyEd25519(publicKey_, body, signature.body);
}

std::unique_ptr<platform::KeptFile> InternetUpdate::FetchVerified(const QString& url, const QString& path,
                                                                  QString* error) {
  if (url.isEmpty()) {
    *error = platform::OneLineText(QStringLiteral("Only secure (https://) addresses are fetched: %1").arg(downloadUrl_));
    return nullptr;
  }
  // First the signed manifest: which file, which version, how long, which digest.
  // Only a newer release than this program's is taken, and only the one the check
  // announced: an older signed installer replayed by a mirror is refused like a
  // forged one.
  const QString manifestUrl = url + QStringLiteral(".manifest");
  const platform::FetchReply manifestReply = services_.http.Fetch(manifestUrl, limits_.text);
  if (!manifestReply.ok) {
    *error = manifestReply.error;
    return nullptr;
  }
  const std::optional<InstallerManifest> manifest =
      SignatureVerifies(manifestUrl, manifestReply.body) ? ParseManifest(manifestReply.body) : std::nullopt;
  if (!manifest || manifest->file != RemoveSpaces(updateFile_.toLower()) ||
      !IsNewerVersion(manifest->version, major_, minor_) ||
      (!checkedVersion_.isEmpty() && manifest->version.trimmed() != checkedVersion_)) {
    *error = kBadSignature;
    return nullptr;
  }

  // Written under a temporary name; the installer's name is given only to a
  // complete file whose digest is the signed one.
  std::unique_ptr<platform::KeptFile> part = platform::KeptFile::Create(path + QStringLiteral(".part"), error);
  if (!part) return nullptr;
  const auto fail = [&](const QString& why) -> std::unique_ptr<platform::KeptFile> {
    *error = why;
    part->Remove();
    return nullptr;
  };
  platform::FetchLimits limits = limits_.installer;
  limits.maxBytes = std::min(limits.maxBytes, manifest->size);
  const platform::FetchReply installer = services_.http.Fetch(url, limits, &part->Device());
  if (!installer.ok) return fail(installer.error);
  if (!part->Seal(error)) return fail(*error);
  QByteArray digest;
  qint64 size = 0;
  if (!part->Digest(&digest, &size, error)) return fail(*error);
  if (size != manifest->size || digest != manifest->sha256) return fail(kBadSignature);
  // Executable for its owner only.
  if (!part->MakeExecutable(error)) return fail(QStringLiteral("The update file could not be made executable."));
  if (!part->Rename(path, error)) return fail(*error);
  return part;
}

void InternetUpdate::CloseStatus() {
  if (status_ == nullptr) return;
  status_->unsetCursor();
  status_->close();
  status_ = nullptr;
}

}  // namespace typeloom::update
