#include "update/MainWindowUpdate.h"

#include "controls/PropertyStore.h"
#include "platform/net/QtHttpClient.h"
#include "platform/process/ProcessStarter.h"
#include "update/InternetUpdate.h"
#include "update/UpdateSettings.h"

#include <QObject>


namespace typeloom::update {
namespace {

// The control's fetcher and process starter live as long as the control.
class Facilities : public QObject {
 public:
  using QObject::QObject;
  platform::QtHttpClient http;
  platform::QtProcessStarter processes;
};

}  // namespace

InternetUpdate* MakeInternetUpdate1(QWidget* host, platform::MessageBoxes& messages, platform::EventPump& events) {
  auto* facilities = new Facilities;
  auto* control = new InternetUpdate(UpdateServices{facilities->http, messages, events, facilities->processes}, host);
  facilities->setParent(control);
  control->setObjectName(QStringLiteral("InternetUpdate1"));
  // The properties the main window's layout gives its update control.
  const controls::PropertyStore layout{{"DownloadURL", DownloadFolder()},
                                       {"UpdateFile", QString(kUpdateFile)},
                                       {"ShowStatus", true},
                                       {"ShowMessage", true}};
  control->ReadProperties(layout);
  control->SetPublicKey(UpdatePublicKey());
  return control;
}

}  // namespace typeloom::update
