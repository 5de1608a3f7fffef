#include "options/Options.h"

#include "app/FontModule.h"
#include "options/Associations.h"
#include "options/Settings.h"
#include "platform/files/AtomicFile.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace typeloom::options {
namespace {

struct BoxDesign {
  const char* caption;
  const char* tooltip;
  int left, top, width, height;
};

constexpr std::array<BoxDesign, 3> kBoxes{{
    {"Set Typeloom as default viewer for all fonts?",
     " Sets Typeloom as the program to run when you double click on a font ", 240, 240, 3615, 255},
    {"Set Typeloom as default printer for all fonts?",
     " Sets Typeloom as the program to run when you right click on a font and select print ", 240, 660, 3615, 255},
    {"Display splash screen at program StartUp?", " Shows a splash screen every time the program starts  ", 240, 1080,
     3375, 255},
}};

constexpr std::array<const settings::Key*, 3> kBoxKeys{&settings::kDefaultViewer, &settings::kDefaultPrinter,
                                                       &settings::kShowSplash};

}  // namespace

Options::Options(OptionsServices services, QWidget* mainWindow)
    : QDialog(mainWindow), services_(std::move(services)), mainWindow_(mainWindow) {
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setWindowTitle(kCaption);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(platform::DialogFont());
  setFixedSize(platform::TwipsToPixelsX(kDesignWidth), platform::TwipsToPixelsY(kDesignHeight));

  for (std::size_t i = 0; i < kBoxes.size(); ++i) {
    const BoxDesign& d = kBoxes[i];
    fOption[i] = new QCheckBox(d.caption, this);
    fOption[i]->setToolTip(d.tooltip);
    fOption[i]->setGeometry(platform::TwipsRect(d.left, d.top, d.width, d.height));
    connect(fOption[i], &QCheckBox::clicked, this, [this, i] { fOption_Click(static_cast<int>(i)); });
  }
  saveButton = new QPushButton("&Save", this);
  saveButton->setToolTip(" Save any changes you've made to your options ");
  saveButton->setGeometry(platform::TwipsRect(660, 1560, 855, 375));
  saveButton->setEnabled(false);
  cancelButton = new QPushButton("&Close", this);
  cancelButton->setToolTip(" Close options entry without saving ");
  cancelButton->setGeometry(platform::TwipsRect(2520, 1560, 855, 375));
  cancelButton->setDefault(true);
  for (QPushButton* b : {saveButton, cancelButton}) b->setAutoDefault(false);

  // A caption wider in this face than in the design's keeps its whole text.
  for (QWidget* widget : {static_cast<QWidget*>(fOption[0]), static_cast<QWidget*>(fOption[1]),
                          static_cast<QWidget*>(fOption[2]), static_cast<QWidget*>(saveButton),
                          static_cast<QWidget*>(cancelButton)}) {
    if (widget->sizeHint().width() > widget->width()) widget->resize(widget->sizeHint().width(), widget->height());
  }
  setTabOrder(fOption[0], fOption[1]);
  setTabOrder(fOption[1], fOption[2]);
  setTabOrder(fOption[2], saveButton);
  setTabOrder(saveButton, cancelButton);

  connect(saveButton, &QPushButton::clicked, this, &Options::saveButton_Click);
  connect(cancelButton, &QPushButton::clicked, this, &Options::cancelButton_Click);
  keyPreview_ = std::make_unique<platform::KeyPreview>(this, [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); });
}

Options::~Options() = default;

void Options::Place() {
  if (mainWindow_ == nullptr) return;
  // Centred on the main window, shifted by 15 twips right and 150 down (outer sizes).
  const QRect main = mainWindow_->frameGeometry();
  const QRect own = frameGeometry();
  const int left = main.left() + (main.width() - own.width()) / 2 + platform::TwipsToPixelsX(15);
  const int top = main.top() + (main.height() - own.height()) / 2 + platform::TwipsToPixelsY(150);
  move(left, top);
}

void Options::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The frame's size is known once the window is shown: place it again with it.
  if (!placed_) {
    placed_ = true;
    Place();
  }
}

void Options::Form_Load() {
  Place();
  for (std::size_t i = 0; i < fOption.size(); ++i) {
    fOption[i]->setChecked(settings::IsOne(services_.settings, *kBoxKeys[i]));
    fOption_Click(static_cast<int>(i));
  }
  ResetButtons();
}

void Options::ResetButtons() {
  saveButton->setEnabled(false);
  saveButton->setDefault(false);
  cancelButton->setDefault(true);
  cancelButton->setText("&Close");
}

void Options::fOption_Click(int /*index*/) {
  saveButton->setEnabled(true);
  cancelButton->setDefault(false);
  saveButton->setDefault(true);
  cancelButton->setText("Cancel");
}

void Options::saveButton_Click() {
  platform::TakeWriteFailures();  // only this save's
  for (std::size_t i = 0; i < fOption.size(); ++i)
    settings::Write(services_.settings, *kBoxKeys[i], fOption[i]->isChecked() ? "1" : "0");
  associations::Context context{services_.registry, services_.settings, services_.openCommand,
                                services_.printCommand};
  QStringList unbound;
  for (std::size_t i = 0; i < 2; ++i) {
    const QString kind = i == 0 ? "V" : "P";
    if (!fOption[i]->isChecked()) {
      associations::RestoreAssociation(context, kind);
      continue;
    }
    associations::SavePriorAssociation(context, kind);
    if (!associations::SetAssociation(context, kind)) {
      // A type of the user's could not be bound (a list that cannot be written): what
      // this save bound goes back, and the option is not kept as set.
      associations::RestoreAssociation(context, kind);
      fOption[i]->setChecked(false);
      settings::Write(services_.settings, *kBoxKeys[i], "0");
      unbound << QString(kBoxes[i].caption);
    }
  }
  ResetButtons();
  // Every file that could not be replaced kept its old contents; the user learns which and why.
  QStringList failures = platform::TakeWriteFailures();
  failures.removeDuplicates();  // a list that refused every type is named once
  QStringList parts;
  if (!unbound.isEmpty()) parts << QString(kNotBoundText) + "\r\n\r\n" + unbound.join("\r\n");
  if (!failures.isEmpty()) parts << QString(kNotSavedText) + "\r\n\r\n" + failures.join("\r\n");
  if (!parts.isEmpty()) {
    // The box is the dialog's own: its activation must not close (and delete) the
    // dialog under it.
    const bool wasAsking = asking_;
    asking_ = true;
    services_.messages.Show(this, parts.join("\r\n\r\n"), platform::mb::kCritical | platform::mb::kOkOnly,
                            settings::kApplication);
    asking_ = wasAsking;
  }
}

void Options::cancelButton_Click() { close(); }

bool Options::Form_QueryUnload() {
  // A dialog already closed has been answered for (or had nothing to ask).
  if (!saveButton->isEnabled() || !isVisible()) return true;
  asking_ = true;
  const int answer = services_.messages.Show(this, kQuestionText, platform::mb::kYesNoCancel | platform::mb::kQuestion,
                                             kQuestionTitle);
  asking_ = false;
  if (answer == platform::mb::kYes) {
    saveButton_Click();
    return true;
  }
  if (answer == platform::mb::kNo) return true;
  activateWindow();
  setFocus();
  return false;
}

void Options::closeEvent(QCloseEvent* event) {
  if (Form_QueryUnload()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void Options::Form_Deactivate() {
  saveButton->setEnabled(false);
  close();
}

bool Options::event(QEvent* e) {
  if (e->type() == QEvent::WindowDeactivate && !asking_) {
    // Only another window of the program closes the dialog; it learns which once the
    // activation has settled.
    QTimer::singleShot(0, this, [this] {
      QWidget* active = QApplication::activeWindow();
      if (active != nullptr && active != this && !asking_) Form_Deactivate();
    });
  }
  return QDialog::event(e);
}

void Options::Form_KeyDown(int& keyCode, int shift) {
  if (keyCode != 27) return;
  keyCode = 0;
  // Cancel in the question keeps the dialog, and so the program, running.
  if (!close()) return;
  if (shift > 0 && services_.endProgram) services_.endProgram();
}

void OptionsWindow::Open() {
  if (IsOpen()) {
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
    return;
  }
  dialog_ = new Options(services_, main_.MainWidget());
  dialog_->Form_Load();
  dialog_->show();
  dialog_->activateWindow();
}

void OptionsWindow::Close() {
  if (IsOpen()) dialog_->close();
}

std::unique_ptr<app::WindowSeam> MakeOptionsWindow(app::MainWindowState& main, app::FontModule& module,
                                                   app::Services& services) {
  app::MainWindowState* state = &main;
  return std::make_unique<OptionsWindow>(
      main, OptionsServices{services.settings, services.messages, services.registry, module.openCommand,
                            module.printCommand, [state] { state->EndProgram(); }});
}

}  // namespace typeloom::options
