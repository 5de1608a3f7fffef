#include "about/frmAbout.h"

#include "about/Logo.h"
#include "app/FontModule.h"
#include "platform/shell/UrlOpener.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/PlainText.h"
#include "platform/ui/WindowServices.h"
#include "update/InternetUpdate.h"
#include "update/UpdateSettings.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace typeloom::about {
namespace {

namespace mb = platform::mb;

QFont SansSerif(double points, bool bold = false) {
  QFont font = platform::DialogFont();
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

}  // namespace

frmAbout::frmAbout(AboutServices services, QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      MAPISession1(services.opener),
      services_(std::move(services)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowIcon(QIcon(ProgramIcon(32)));
  setFixedSize(platform::TwipsToPixelsX(kClientWidth), platform::TwipsToPixelsY(kClientHeight));
  setFont(SansSerif(8.25));

  auto label = [this](const QString& text, int l, int t, int w, int h) {
    auto* widget = platform::MakePlainLabel(text, this);
    widget->setGeometry(platform::TwipsRect(l, t, w, h));
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return widget;
  };
  auto link = [&](const QString& text, const char* tip, int l, int t, int w, int h) {
    QLabel* widget = label(text, l, t, w, h);
    QFont font = widget->font();
    font.setUnderline(true);
    widget->setFont(font);
    SetTextColour(widget, widget->palette().color(QPalette::Highlight));
    widget->setCursor(Qt::PointingHandCursor);
    widget->setToolTip(QString::fromUtf8(tip));
    widget->installEventFilter(this);
    return widget;
  };

  lblTitle = label(QString(), 256, 130, 5559, 435);
  lblTitle->setFont(SansSerif(13.5, true));
  SetTextColour(lblTitle, Qt::black);
  lblVersion = label(QString(), 256, 565, 5559, 225);
  lblDescription = label(QString(), 256, 891, 5559, 1956);
  lblDescription->setWordWrap(true);
  SetTextColour(lblDescription, Qt::black);
  lblDisclaimer = label(QStringLiteral("Please send any comments or suggestions to:"), 255, 3216, 3870, 217);
  lblDisclaimer->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  SetTextColour(lblDisclaimer, Qt::black);
  EmailLink = link(services_.emailAddress, " Send an e-mail to Corvane ", 607, 3412, 3195, 255);
  EmailLink->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label1 = label(QStringLiteral("Web site:"), 527, 3803, 703, 217);
  WebLink = link(services_.webAddress, " Visit the Corvane web site ", 1278, 3803, 2556, 217);

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setGeometry(platform::TwipsRect(4579, 3216, 1260, 345));
  cmdOK->setDefault(true);
  cmdSysInfo = new QPushButton(QStringLiteral("Update Check"), this);
  cmdSysInfo->setGeometry(platform::TwipsRect(4579, 3651, 1245, 345));
  setTabOrder(cmdOK, cmdSysInfo);
  cmdOK->setFocus();

  connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
  connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
  // Keys reach the box before its controls: Esc closes it whatever has the focus.
  new platform::KeyPreview(this, [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); });
}

frmAbout::~frmAbout() { Form_Unload(); }

void frmAbout::Form_Load() {
  setWindowTitle(QStringLiteral(" About ") + app::kAppTitle);
  lblVersion->setText(VersionCaption(app::kVersionMajor, app::kVersionMinor));
  lblDescription->setText(QString(kDescription) + "\r\n");
  lblTitle->setText(app::kAppTitle);
}

void frmAbout::Form_KeyDown(int& keyCode, int /*shift*/) {
  if (keyCode == 27) {
    keyCode = 0;
    close();
  }
}

void frmAbout::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (MAPISession1.SessionId() > 0) MAPISession1.SignOff();
}

void frmAbout::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QWidget::closeEvent(event);
}

void frmAbout::cmdOK_Click() { close(); }

void frmAbout::cmdSysInfo_Click() {
  if (!services_.updateCheckBuiltIn) {
    services_.messages.Show(this, update::kUpdatesFromPackageManager, mb::kInformation | mb::kOkOnly,
                            update::InternetUpdate::Title());
    return;
  }
  if (services_.update == nullptr) return;
  services_.update->SetShowStatus(true);
  services_.update->SetShowMessage(true);
  services_.update->TestAndUpdate();
}

void frmAbout::WebLink_Click() {
  // What the opener makes of it is its own affair.
  services_.opener.Open(QUrl::fromUserInput(WebLink->text()));
}

void frmAbout::EmailLink_Click() {
  if (MAPISession1.SessionId() == 0) MAPISession1.SignOn();
  const QString subject = QString(app::kAppTitle) + ", " + lblVersion->text();
  if (!MAPISession1.Send(EmailLink->text(), subject)) {
    services_.messages.Show(this, kMailFailed, mb::kOkOnly, app::kAppTitle);
  }
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == WebLink) {
      WebLink_Click();
      return true;
    }
    if (watched == EmailLink) {
      EmailLink_Click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void frmAbout::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // The etched separator: a grey line with a white one below it.
  QPainter painter(this);
  const auto x = [](int twips) { return platform::TwipsToPixelsX(twips); };
  const auto y = [](int twips) { return platform::TwipsToPixelsY(twips); };
  painter.setPen(QPen(QColor(128, 128, 128), 1));
  painter.drawLine(x(90), y(3054), x(5941), y(3054));
  painter.setPen(QPen(Qt::white, 2));
  painter.drawLine(x(105), y(3069) + 1, x(5941), y(3069) + 1);
}

AboutSeam::AboutSeam(app::MainWindowState& main, AboutServices services) : main_(main), services_(std::move(services)) {}

AboutSeam::~AboutSeam() { delete box_.data(); }

void AboutSeam::Open() {
  if (box_ == nullptr) {
    box_ = new frmAbout(services_, main_.MainWidget());
    box_->Form_Load();
    if (QWidget* main = main_.MainWidget()) {
      box_->move(main->frameGeometry().center() - box_->rect().center());
    }
  }
  box_->show();
  box_->raise();
  box_->activateWindow();
  box_->cmdOK->setFocus();
}

void AboutSeam::Close() {
  if (box_ != nullptr) box_->close();
}

bool AboutSeam::IsOpen() const { return box_ != nullptr && box_->isVisible(); }

namespace {

class ProgramAboutSeam final : public app::WindowSeam {
 public:
  ProgramAboutSeam(app::MainWindowState& main, platform::MessageBoxes& messages, update::InternetUpdate* update)
      : seam_(main, AboutServices{messages, opener_, update, update::UpdateCheckBuiltIn(), update::MakerWebAddress(),
                                  update::MakerEmailAddress()}) {}
  void Open() override { seam_.Open(); }
  void Close() override { seam_.Close(); }
  bool IsOpen() const override { return seam_.IsOpen(); }

 private:
  platform::DesktopUrlOpener opener_;
  AboutSeam seam_;
};

}  // namespace

std::unique_ptr<app::WindowSeam> MakeAboutSeam(app::MainWindowState& main, platform::MessageBoxes& messages,
                                               update::InternetUpdate* update) {
  return std::make_unique<ProgramAboutSeam>(main, messages, update);
}

}  // namespace typeloom::about
