// The update check and download against a real HTTPS server on 127.0.0.1: what the
// user sees and which events the control raises.
#include "platform/net/QtHttpClient.h"
#include "platform/process/KeptFile.h"
#include "platform/process/ProcessStarter.h"
#include "platform/ui/QtClock.h"
#include "support/FakeAppServices.h"
#include "update/InternetUpdate.h"
#include "update/UpdateServer.h"
#include "update/UpdateStatus.h"
#include "update/UpdateText.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace typeloom;
using namespace typeloom::update;
namespace mb = platform::mb;

const QString kCrLf3 = "\r\n\r\n\r\n";
const QString kAsk = "Do you wish to update?";
const QString kUpdateTitle = " Typeloom Update";

// How long a fetch may go without a byte: long enough that a healthy answer on a
// loaded machine never reaches it, short where a test waits it out on purpose.
constexpr int kGenerousInactivityMs = 60000;
constexpr int kWaitedOutInactivityMs = 1500;

// Starts the real program and remembers what it started; `beforeStart` runs between
// the verification and the start (where another user's swap would come).
class RecordingStarter final : public platform::ProcessStarter {
 public:
  bool StartDetached(const QString& program, const QStringList& arguments, QString* error) override {
    started << program;
    return real.StartDetached(program, arguments, error);
  }
  bool StartKept(const platform::KeptFile& file, const QStringList& arguments, QString* error) override {
    started << file.Path();
    if (beforeStart) beforeStart(file.Path());
    return real.StartKept(file, arguments, error);
  }
  QStringList started;
  std::function<void(const QString&)> beforeStart;
  platform::QtProcessStarter real;
};

QByteArray Sha256Hex(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(); }

class InternetUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.Ready()) << "openssl or /usr/bin/python3 is missing: run scripts/install-deps";
    qputenv("SSL_CERT_FILE", server.CertFile().toLocal8Bit());
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    http = std::make_unique<platform::QtHttpClient>();
    control = std::make_unique<InternetUpdate>(UpdateServices{*http, messages, pump, starter});
    control->SetUpdateFile("TypeloomInstall.run");
    control->SetShowStatus(false);
    control->SetPublicKey(signer.PublicKey());
    SetInactivity(kGenerousInactivityMs);
    auto record = [this](void (InternetUpdate::*signal)(), const char* name) {
      QObject::connect(control.get(), signal, [this, name] { events << name; });
    };
    record(&InternetUpdate::TestCompleted, "TestCompleted");
    record(&InternetUpdate::TestFailed, "TestFailed");
    record(&InternetUpdate::DownloadStarted, "DownloadStarted");
    record(&InternetUpdate::DownloadFailed, "DownloadFailed");
    record(&InternetUpdate::UpdateStarted, "UpdateStarted");
    record(&InternetUpdate::UpdateCanceled, "UpdateCanceled");
  }
  void TearDown() override { qunsetenv("TMPDIR"); }

  void SetInactivity(int ms) {
    UpdateLimits limits;
    limits.text.inactivityMs = limits.installer.inactivityMs = limits.signature.inactivityMs = ms;
    limits.installer.maxBytes = 256 * 1024;
    control->SetLimits(limits);
  }

  void Reset() {
    events.clear();
    messages.shown.clear();
    messages.styles.clear();
    messages.titles.clear();
  }
  // Puts a file with its detached signature beside it.
  void PutSigned(const QString& folder, const QString& file, const QByteArray& bytes, const QByteArray& mode = {}) {
    server.Put(folder, file, bytes, mode);
    server.Put(folder, file + ".sig", signer.Sign(bytes));
  }
  // The signed manifest of `bytes` as the installer of `version`.
  void PutManifest(const QString& folder, const QByteArray& version, const QByteArray& bytes,
                   const QByteArray& file = "typeloominstall.run") {
    PutSigned(folder, "typeloominstall.run.manifest",
              "file=" + file + "\nversion=" + version + "\nsize=" + QByteArray::number(bytes.size()) +
                  "\nsha256=" + Sha256Hex(bytes) + "\n");
  }
  // A folder offering version 1.5 with signed change notes and a signed installer
  // that writes the path it was started as into the marker file.
  QString OfferInstaller(const QString& name) {
    const QString folder = server.Folder(name);
    PutSigned(name, "typeloom.ver", "1.5\n");
    PutSigned(name, "typeloom.1.5.msg", "Faster start");
    // Written aside and renamed, so that the marker exists only once it holds the whole line.
    installer = "#!/bin/sh\necho \"$0\" > '" + Marker().toUtf8() + ".part' && mv '" + Marker().toUtf8() + ".part' '" +
                Marker().toUtf8() + "'\n";
    server.Put(name, "typeloominstall.run", installer);
    PutManifest(name, "1.5", installer);
    return folder;
  }
  QString Marker() const { return markerDir.path() + "/started"; }
  QByteArray ManifestOf(const QString& folder) const {
    QFile file(server.Root() + "/www/" + folder + "/typeloominstall.run.manifest");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QString ManualMessage(const QString& folder) const { return ManualDownloadMessage(folder); }
  QStringList TempEntries() const { return QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }

  test::UpdateServer server;
  test::Ed25519Signer signer;
  QTemporaryDir temp;
  QTemporaryDir markerDir;
  test::FakeMessageBoxes messages;
  platform::QtEventPump pump;
  RecordingStarter starter;
  std::unique_ptr<platform::QtHttpClient> http;
  std::unique_ptr<InternetUpdate> control;
  QStringList events;
  QByteArray installer;
};

enum class Outcome { Failed, NotNewer, Newer };

TEST_F(InternetUpdateTest, CheckTellsTheUserAndRaisesEventsForEveryServerAnswer) {
  struct Case {
    const char* name;
    QByteArray version;
    QByteArray versionMode;
    const char* notes;  // nullptr: no change-notes file
    int minor;
    Outcome outcome;
    const char* newVersion;
  };
  const Case cases[] = {
      {"newer", "1.5", {}, "Faster start", 4, Outcome::Newer, "1.5"},
      {"newer-without-notes", "1.5", {}, nullptr, 4, Outcome::Newer, "1.5"},
      {"newer-empty-notes", "2.0", {}, "", 4, Outcome::Newer, "2.0"},
      {"equal", "1.4", {}, nullptr, 4, Outcome::NotNewer, nullptr},
      {"older", "1.3", {}, nullptr, 4, Outcome::NotNewer, nullptr},
      {"ten-after-nine", "1.10", {}, "More sizes", 9, Outcome::Newer, "1.10"},
      {"nine-before-ten", "1.9", {}, nullptr, 10, Outcome::NotNewer, nullptr},
      {"line-break", "1.4\r\n", {}, nullptr, 4, Outcome::NotNewer, nullptr},
      {"newer-with-line-break", "1.5\n", {}, "Faster start", 4, Outcome::Newer, "1.5"},
      {"nine-characters", "123456789", {}, nullptr, 4, Outcome::NotNewer, nullptr},
      {"empty", "", {}, nullptr, 4, Outcome::Failed, nullptr},
      {"not-found", "1.5", "404", nullptr, 4, Outcome::Failed, nullptr},
      {"server-error", "1.5", "500", nullptr, 4, Outcome::Failed, nullptr},
      {"never-answers", "1.5", "hang", nullptr, 4, Outcome::Failed, nullptr},
      {"huge", "1.5", "huge", nullptr, 4, Outcome::Failed, nullptr},
      {"redirect-to-http", "1.5", "redirect-http", nullptr, 4, Outcome::Failed, nullptr},
      {"redirect-loop", "1.5", "loop", nullptr, 4, Outcome::Failed, nullptr},
      {"redirect-https", "9.9", "redirect\n/redirect-target/typeloom.ver", nullptr, 4, Outcome::Newer, "1.6"},
  };
  server.Put("redirect-target", "typeloom.ver", "1.6");
  // A redirect within https:// is followed: the target's version counts (its
  // signature is the one beside the address asked for).
  PutSigned("redirect-https", "typeloom.9.9.msg", "notes of the version never served");

  for (const Case& c : cases) {
    const QString folder = server.Folder(c.name);
    PutSigned(c.name, "typeloom.ver", c.version, c.versionMode);
    if (QByteArray(c.name) == "redirect-https") server.Put(c.name, "typeloom.ver.sig", signer.Sign("1.6"));
    if (c.notes != nullptr) PutSigned(c.name, QStringLiteral("typeloom.%1.msg").arg(c.newVersion), c.notes);
    control->SetDownloadURL(folder);
    control->SetCurrentVersion(1, c.minor);
    SetInactivity(c.versionMode == "hang" ? kWaitedOutInactivityMs : kGenerousInactivityMs);
    const Outcome outcome = c.outcome;
    const QString text =
        outcome == Outcome::Newer ? BuildUpdateMessage(1, c.minor, c.newVersion, c.notes == nullptr ? "" : c.notes) : "";
    const QString refusal = outcome == Outcome::Failed ? QString(kConnectionFailed) : QString(kNoNewerVersion);

    for (const bool showMessage : {true, false}) {
      SCOPED_TRACE(QStringLiteral("%1, ShowMessage %2").arg(c.name).arg(showMessage).toStdString());
      control->SetShowMessage(showMessage);

      Reset();
      control->Test();
      EXPECT_EQ(events, QStringList{"TestCompleted"});
      if (outcome == Outcome::Newer) {
        EXPECT_EQ(messages.shown, QStringList{text});
        EXPECT_EQ(messages.styles, std::vector<int>{mb::kInformation | mb::kOkOnly});
      } else if (showMessage) {
        EXPECT_EQ(messages.shown, QStringList{refusal});
        EXPECT_EQ(messages.styles, std::vector<int>{mb::kInformation | mb::kOkOnly});
      } else {
        EXPECT_TRUE(messages.shown.isEmpty());
      }
      for (const QString& title : messages.titles) EXPECT_EQ(title, kUpdateTitle);
      if (outcome == Outcome::Failed) {
        EXPECT_EQ(control->FetchResult(), QString(c.versionMode.isEmpty() ? c.version : "*Error*"));
      }

      Reset();
      messages.reply = mb::kNo;
      control->TestAndUpdate();
      if (outcome == Outcome::Newer) {
        EXPECT_EQ(messages.shown, QStringList{text + kCrLf3 + kAsk});
        EXPECT_EQ(messages.styles, std::vector<int>{mb::kQuestion | mb::kYesNo});
        EXPECT_EQ(events, QStringList{"UpdateCanceled"});
      } else {
        EXPECT_EQ(messages.shown, showMessage ? QStringList{refusal} : QStringList{});
        EXPECT_TRUE(events.isEmpty());
      }
    }
  }
  EXPECT_TRUE(starter.started.isEmpty());
}

TEST_F(InternetUpdateTest, PlainHttpFolderIsNeverFetched) {
  const QString folder = server.Folder("plain");
  server.Put("plain", "typeloom.ver", "1.5");
  control->SetDownloadURL(QString(folder).replace("https://", "http://"));
  control->Test();
  EXPECT_EQ(messages.shown, QStringList{kConnectionFailed});
  EXPECT_EQ(control->FetchResult(), "*Error*");
  EXPECT_EQ(events, QStringList{"TestCompleted"});
}

TEST_F(InternetUpdateTest, TestAndUpdateStartsTheSignedInstallerAndRaisesUpdateStarted) {
  control->SetDownloadURL(OfferInstaller("good"));
  control->SetShowStatus(true);
  messages.reply = mb::kYes;
  // The status window is up, unblocking, while the download runs, and gone after.
  QStringList statusWhileDownloading;
  QObject::connect(control.get(), &InternetUpdate::DownloadStarted, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* status = qobject_cast<UpdateStatus*>(window); status != nullptr && status->isVisible()) {
        statusWhileDownloading << status->Label1->text();
        EXPECT_FALSE(status->isModal());
      }
    }
  });
  control->TestAndUpdate();
  EXPECT_EQ(statusWhileDownloading, QStringList{"Downloading Update File"});
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (QWidget* window : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<UpdateStatus*>(window), nullptr);

  EXPECT_EQ(events, (QStringList{"DownloadStarted", "UpdateStarted"}));
  ASSERT_EQ(messages.shown.size(), 1) << messages.shown.join("\n---\n").toStdString();
  EXPECT_EQ(messages.shown[0], BuildUpdateMessage(1, 4, "1.5", "Faster start") + kCrLf3 + kAsk);
  ASSERT_EQ(starter.started.size(), 1);

  for (int waited = 0; waited < 30000 && !QFile::exists(Marker()); waited += 50) QTest::qWait(50);
  QFile marker(Marker());
  ASSERT_TRUE(marker.open(QIODevice::ReadOnly)) << "the installer did not run";
  // Started from the open file that was verified, not by its name.
  EXPECT_TRUE(marker.readAll().trimmed().startsWith("/dev/fd/"));
  const QFileInfo file(starter.started[0]);
  EXPECT_EQ(file.fileName(), "typeloominstall.run");
  EXPECT_EQ(file.absolutePath().section('/', 0, -2), QFileInfo(temp.path()).absoluteFilePath());
  const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
  const auto all = ownerOnly | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                   QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
  EXPECT_EQ(file.permissions() & all, ownerOnly);
  EXPECT_EQ(QFileInfo(file.absolutePath()).permissions() & all, ownerOnly);
  EXPECT_EQ(QDir(file.absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{"typeloominstall.run"});
}

TEST_F(InternetUpdateTest, FailedOrForgedDownloadIsNeverStartedAndIsDeleted) {
  struct Case {
    const char* name;
    std::function<void(const QString& name)> spoil;
    const char* error;  // what the user reads first: "%1" is the installer's address
  };
  const char* const kNotSigned = kBadSignature;
  const Case cases[] = {
      {"cut-short", [&](const QString& n) { server.Put(n, "typeloominstall.run", installer, "cut"); },
       "Connection closed"},
      {"not-found", [&](const QString& n) { server.Put(n, "typeloominstall.run", installer, "404"); },
       "Error transferring %1 - server replied: Not Found"},
      {"server-error", [&](const QString& n) { server.Put(n, "typeloominstall.run", installer, "500"); },
       "Error transferring %1 - server replied: Internal Server Error"},
      {"too-large", [&](const QString& n) { server.Put(n, "typeloominstall.run", QByteArray(300 * 1024, 'x')); },
       "The server sent more data than expected."},
      {"endless", [&](const QString& n) { server.Put(n, "typeloominstall.run", installer, "huge"); },
       "The server sent more data than expected."},
      {"to-http", [&](const QString& n) { server.Put(n, "typeloominstall.run", installer, "redirect-http"); },
       "Insecure redirect"},
      {"silent", [&](const QString& n) { server.Put(n, "typeloominstall.run", installer, "hang"); },
       "The server did not answer in time."},
      // The manifest: signed by the maker's key, naming this file, this length and digest,
      // and the version announced, newer than the running one.
      {"bad-signature", [&](const QString& n) { server.Put(n, "typeloominstall.run.manifest.sig", signer.Sign("other")); },
       kNotSigned},
      {"other-key",
       [&](const QString& n) {
         server.Put(n, "typeloominstall.run.manifest.sig",
                    test::Ed25519Signer().Sign(ManifestOf(n)));
       },
       kNotSigned},
      {"short-signature", [&](const QString& n) { server.Put(n, "typeloominstall.run.manifest.sig", signer.Sign(ManifestOf(n)).left(63)); },
       kNotSigned},
      {"no-signature", [&](const QString& n) { server.Put(n, "typeloominstall.run.manifest.sig", "", "404"); }, kNotSigned},
      {"no-manifest", [&](const QString& n) { server.Put(n, "typeloominstall.run.manifest", "", "404"); },
       "Error transferring %1.manifest - server replied: Not Found"},
      {"changed-installer",
       [&](const QString& n) { server.Put(n, "typeloominstall.run", QByteArray(installer).replace("echo", "eval")); },
       kNotSigned},
      {"longer-installer", [&](const QString& n) { server.Put(n, "typeloominstall.run", installer + "rm -rf ~\n"); },
       "The server sent more data than expected."},
      // A validly signed older release replayed by a mirror.
      {"older-release", [&](const QString& n) { PutManifest(n, "1.2", installer); }, kNotSigned},
      {"same-as-running", [&](const QString& n) { PutManifest(n, "1.4", installer); }, kNotSigned},
      {"other-than-announced", [&](const QString& n) { PutManifest(n, "1.6", installer); }, kNotSigned},
      {"manifest-of-another-file", [&](const QString& n) { PutManifest(n, "1.5", installer, "setup.run"); }, kNotSigned},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString folder = OfferInstaller(c.name);
    c.spoil(c.name);
    control->SetDownloadURL(folder);
    SetInactivity(QByteArray(c.name) == "silent" ? kWaitedOutInactivityMs : kGenerousInactivityMs);
    Reset();
    messages.reply = mb::kYes;
    control->TestAndUpdate();

    EXPECT_EQ(events, (QStringList{"DownloadStarted", "DownloadFailed"}));
    ASSERT_EQ(messages.shown.size(), 3) << messages.shown.join("\n---\n").toStdString();
    const QString address = SecureUrl(BuildFileUrl(folder, "TypeloomInstall.run"));
    EXPECT_EQ(messages.shown[1].toStdString(), QString(c.error).replace("%1", address).toStdString());
    EXPECT_EQ(messages.styles[1], mb::kOkOnly);
    EXPECT_EQ(messages.titles[1], "Typeloom");
    EXPECT_EQ(messages.shown[2], ManualMessage(folder));
    EXPECT_EQ(messages.styles[2], mb::kCritical | mb::kOkOnly);
    EXPECT_EQ(messages.titles[2], "Typeloom");
    EXPECT_TRUE(TempEntries().isEmpty()) << TempEntries().join(' ').toStdString();
  }
  EXPECT_TRUE(starter.started.isEmpty());
  EXPECT_FALSE(QFile::exists(Marker()));
}

TEST_F(InternetUpdateTest, WithoutABuiltInKeyNoVersionIsBelievedAndNothingIsStarted) {
  control->SetDownloadURL(OfferInstaller("no-key"));
  control->SetPublicKey({});
  messages.reply = mb::kYes;
  control->TestAndUpdate();
  EXPECT_TRUE(events.isEmpty());
  EXPECT_EQ(messages.shown, QStringList{kConnectionFailed});
  control->Update();
  EXPECT_EQ(events, (QStringList{"DownloadStarted", "DownloadFailed"}));
  EXPECT_EQ(messages.shown[1], kBadSignature);
  EXPECT_TRUE(starter.started.isEmpty());
  EXPECT_TRUE(TempEntries().isEmpty());
}

// A version file or change notes a mirror wrote itself: the version is not
// believed (the check fails as without an answer), the notes are left out.
TEST_F(InternetUpdateTest, UnsignedVersionFileOrNotesAreNotBelieved) {
  struct Case {
    const char* name;
    std::function<void(const QString& name)> spoil;
    bool versionBelieved;
  } cases[] = {
      {"unsigned-version", [&](const QString& n) { server.Put(n, "typeloom.ver.sig", "", "404"); }, false},
      {"forged-version", [&](const QString& n) { server.Put(n, "typeloom.ver", "9.9"); }, false},
      {"other-key-version",
       [&](const QString& n) { server.Put(n, "typeloom.ver.sig", test::Ed25519Signer().Sign("1.5\n")); }, false},
      {"unsigned-notes", [&](const QString& n) { server.Put(n, "typeloom.1.5.msg.sig", "", "404"); }, true},
      {"forged-notes", [&](const QString& n) { server.Put(n, "typeloom.1.5.msg", "Critical security fix: say yes"); },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString folder = OfferInstaller(c.name);
    c.spoil(c.name);
    control->SetDownloadURL(folder);
    Reset();
    messages.reply = mb::kNo;
    control->TestAndUpdate();
    if (c.versionBelieved) {
      EXPECT_EQ(messages.shown, QStringList{BuildUpdateMessage(1, 4, "1.5", "") + kCrLf3 + kAsk});
      EXPECT_EQ(events, QStringList{"UpdateCanceled"});
    } else {
      EXPECT_EQ(messages.shown, QStringList{kConnectionFailed});
      EXPECT_EQ(control->FetchResult(), "*Error*");
      EXPECT_TRUE(events.isEmpty());
    }
  }
  EXPECT_TRUE(starter.started.isEmpty());
}

// Another user swaps the installer's folder and file for their own between the
// verification and the start: what runs is the verified file, never theirs.
TEST_F(InternetUpdateTest, InstallerSwappedAfterVerificationIsNeverRun) {
  control->SetDownloadURL(OfferInstaller("swapped"));
  const QString payloadMarker = markerDir.path() + "/payload";
  const QByteArray payload = "#!/bin/sh\necho payload > '" + payloadMarker.toUtf8() + "'\n";
  starter.beforeStart = [&](const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    // The file renamed away and another put in its place ...
    ASSERT_TRUE(QFile::rename(path, path + ".verified"));
    QFile own(path);
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write(payload);
    own.close();
    own.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // ... and the whole folder too.
    ASSERT_TRUE(QDir().rename(folder, folder + "-verified"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(path.section('/', 0, -2) + "-verified/" + QFileInfo(path).fileName(), path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  };
  messages.reply = mb::kYes;
  control->TestAndUpdate();
  EXPECT_EQ(events, (QStringList{"DownloadStarted", "UpdateStarted"}));
  for (int waited = 0; waited < 30000 && !QFile::exists(Marker()); waited += 50) QTest::qWait(50);
  EXPECT_TRUE(QFile::exists(Marker())) << "the verified installer did not run";
  EXPECT_FALSE(QFile::exists(payloadMarker)) << "the swapped-in payload ran";
}

TEST_F(InternetUpdateTest, ServerReasonPhraseReachesTheUserAsOneLineOfPlainText) {
  const QString folder = OfferInstaller("reason");
  const QByteArray reason =
      "<h1>Signature key rotated!</h1>\x1b]0;owned\x07<a href=\"https://evil.example/\">Click here</a>";
  server.Put("reason", "typeloominstall.run", installer, "status\n404\n" + reason);
  control->SetDownloadURL(folder);
  messages.reply = mb::kYes;
  control->TestAndUpdate();
  ASSERT_EQ(messages.shown.size(), 3) << messages.shown.join("\n---\n").toStdString();
  // The reason phrase is kept as its characters (the message box shows plain text),
  // on one short line without its control characters.
  const std::string shown = messages.shown[1].toStdString();
  EXPECT_NE(shown.find("<h1>Signature key rotated!</h1> ]0;owned <a href="), std::string::npos) << shown;
  EXPECT_LE(messages.shown[1].size(), 163) << shown;
  for (const QChar c : messages.shown[1]) EXPECT_GE(c.unicode(), 0x20) << shown;
  EXPECT_TRUE(starter.started.isEmpty());
}

TEST_F(InternetUpdateTest, ControlKeepsItsFixedSize) {
  const QSize fixed = control->size();
  control->resize(fixed * 3);
  EXPECT_EQ(control->size(), fixed);
}

}  // namespace
