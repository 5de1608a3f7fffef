// The update control's saved properties and its main-window set-up.
#include "controls/PropertyStore.h"
#include "platform/ui/QtClock.h"
#include "support/FakeAppServices.h"
#include "support/FakeUpdateServices.h"
#include "update/InternetUpdate.h"
#include "update/MainWindowUpdate.h"
#include "update/UpdateSettings.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

using namespace typeloom;
using namespace typeloom::update;

struct Fixture {
  test::NoNetwork http;
  test::FakeMessageBoxes messages;
  test::FakeClock clock;
  test::NoProcesses processes;
  InternetUpdate control{UpdateServices{http, messages, clock, processes}};
};

TEST(InternetUpdateProperties, NewInstanceHasTheInitialValues) {
  Fixture f;
  EXPECT_EQ(f.control.DownloadURL(), "");
  EXPECT_EQ(f.control.UpdateFile(), "");
  EXPECT_TRUE(f.control.ShowStatus());
  EXPECT_TRUE(f.control.ShowMessage());
  EXPECT_EQ(f.control.FetchResult(), "");
}

TEST(InternetUpdateProperties, ReadsKeysInAnyCaseWithDefaultsAndWritesThemInOrder) {
  Fixture f;
  const controls::PropertyStore saved{{"downloadurl", "server/downloads"}, {"SHOWMESSAGE", false}};
  f.control.ReadProperties(saved);
  EXPECT_EQ(f.control.DownloadURL(), "server/downloads");
  EXPECT_EQ(f.control.UpdateFile(), "");
  EXPECT_TRUE(f.control.ShowStatus());
  EXPECT_FALSE(f.control.ShowMessage());

  controls::PropertyStore out;
  f.control.WriteProperties(out);
  EXPECT_EQ(out.Keys(), (QStringList{"DownloadURL", "UpdateFile", "ShowStatus", "ShowMessage"}));
  EXPECT_EQ(out.Read("ShowMessage", true).toBool(), false);
}

TEST(InternetUpdateProperties, SettersMarkTheirPropertyChanged) {
  Fixture f;
  controls::PropertyStore store;
  f.control.SetPropertyStore(&store);
  f.control.SetShowMessage(false);
  f.control.SetUpdateFile("x.run");
  f.control.SetDownloadURL("server");
  f.control.SetShowStatus(false);
  EXPECT_EQ(store.ChangedKeys(), (QStringList{"ShowMessage", "UpdateFile", "DownloadURL", "ShowStatus"}));
}

TEST(InternetUpdateProperties, MainWindowControlTakesTheBuildsFolderOrTheRunsOverride) {
  test::FakeMessageBoxes messages;
  test::FakeClock clock;
  QWidget host;
  qunsetenv("TYPELOOM_UPDATE_URL");
  InternetUpdate* built = MakeInternetUpdate1(&host, messages, clock);
  EXPECT_EQ(built->parent(), &host);
  EXPECT_EQ(built->DownloadURL(), DownloadFolder());
  EXPECT_TRUE(built->DownloadURL().contains("corvane.example")) << built->DownloadURL().toStdString();
  EXPECT_EQ(built->UpdateFile(), "typeloominstall.run");
  EXPECT_TRUE(built->ShowStatus());
  EXPECT_TRUE(built->ShowMessage());

  qputenv("TYPELOOM_UPDATE_URL", "https://127.0.0.1:9/mirror");
  EXPECT_EQ(MakeInternetUpdate1(&host, messages, clock)->DownloadURL(), "https://127.0.0.1:9/mirror");
  qunsetenv("TYPELOOM_UPDATE_URL");
}

TEST(InternetUpdateProperties, RunsKeyOverrideMustBe32Bytes) {
  const QByteArray key(32, '\x07');
  qputenv("TYPELOOM_UPDATE_KEY", key.toBase64());
  EXPECT_EQ(UpdatePublicKey(), key);
  qputenv("TYPELOOM_UPDATE_KEY", QByteArray(31, '\x07').toBase64());
  EXPECT_TRUE(UpdatePublicKey().isEmpty());
  qunsetenv("TYPELOOM_UPDATE_KEY");
}

TEST(InternetUpdateProperties, UpdateWithoutAnyFetchRunsTheFailureSteps) {
  Fixture f;
  f.control.SetDownloadURL("http://www.corvane.com/downloads");
  f.control.SetUpdateFile("typeloominstall.run");
  f.control.SetShowStatus(false);
  QStringList events;
  QObject::connect(&f.control, &InternetUpdate::DownloadFailed, [&] { events << "DownloadFailed"; });
  QObject::connect(&f.control, &InternetUpdate::UpdateStarted, [&] { events << "UpdateStarted"; });
  f.control.Update();
  EXPECT_TRUE(f.http.fetched.isEmpty());  // plain http is refused before any connection
  EXPECT_EQ(events, QStringList{"DownloadFailed"});
  ASSERT_EQ(f.messages.shown.size(), 2);
  EXPECT_EQ(f.messages.shown[1],
            "An error has occurred and the update has failed.\r\n"
            "Download the new version of this application manually at \r\nwww.corvane.com");
}

}  // namespace
