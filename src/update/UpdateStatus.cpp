#include "update/UpdateStatus.h"

#include "app/FontModule.h"
#include "platform/ui/PlainText.h"
#include "platform/ui/WindowServices.h"

#include <QLabel>

namespace typeloom::update {

UpdateStatus::UpdateStatus(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(app::kAppTitle);
  setFont(platform::DialogFont());
  setFixedSize(platform::TwipsToPixelsX(3600), platform::TwipsToPixelsY(900));
  Label1 = platform::MakePlainLabel(QStringLiteral("Downloading Update File"), this);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setGeometry(platform::TwipsRect(120, 240, 3360, 375));
}

}  // namespace typeloom::update
