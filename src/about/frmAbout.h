#pragma once
// The About box: title, version, description, the maker's web and e-mail links,
// and the update check.
#include "about/MailSession.h"
#include "app/WindowSeams.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;

namespace typeloom::platform {
class MessageBoxes;
class UrlOpener;
}  // namespace typeloom::platform

namespace typeloom::update {
class InternetUpdate;
}

namespace typeloom::about {

inline constexpr char kDescription[] =
    "The Typeloom is designed to provide information about the screen/printer fonts installed on your system.  "
    "This program also provides the ability to view different sizes and effects for each font, and the ability "
    "to view text that you type to see how it appears.  In addition, the program gives the option to print a "
    "single font or to compare the appearance of all fonts in a summary-type view.";
inline constexpr char kMailFailed[] = "A problem has occurred while trying to send an e-mail.";

struct AboutServices {
  platform::MessageBoxes& messages;
  platform::UrlOpener& opener;
  // The main window's update control; null when there is none.
  update::InternetUpdate* update = nullptr;
  // False when this build leaves updates to the system's package manager.
  bool updateCheckBuiltIn = true;
  QString webAddress;
  QString emailAddress;
};

class frmAbout : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 6045;   // twips
  static constexpr int kClientHeight = 4275;  // twips

  explicit frmAbout(AboutServices services, QWidget* owner = nullptr);
  ~frmAbout() override;

  void Form_Load();
  void Form_KeyDown(int& keyCode, int shift);
  void Form_Unload();
  void cmdOK_Click();
  void cmdSysInfo_Click();
  void WebLink_Click();
  void EmailLink_Click();

  QLabel* lblTitle = nullptr;
  QLabel* lblVersion = nullptr;
  QLabel* lblDescription = nullptr;
  QLabel* lblDisclaimer = nullptr;
  QLabel* EmailLink = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* WebLink = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdSysInfo = nullptr;
  MailSession MAPISession1;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  AboutServices services_;
  bool unloaded_ = false;
};

// The About box as the main window opens it: modeless, built afresh after each close.
class AboutSeam final : public app::WindowSeam {
 public:
  AboutSeam(app::MainWindowState& main, AboutServices services);
  ~AboutSeam() override;
  void Open() override;
  void Close() override;
  bool IsOpen() const override;
  frmAbout* Window() const { return box_.data(); }

 private:
  app::MainWindowState& main_;
  AboutServices services_;
  QPointer<frmAbout> box_;
};

// The program's About box: the maker's addresses of this build, links opened by
// the desktop's opener, "Update Check" running `update` (InternetUpdate1).
std::unique_ptr<app::WindowSeam> MakeAboutSeam(app::MainWindowState& main, platform::MessageBoxes& messages,
                                               update::InternetUpdate* update);

}  // namespace typeloom::about
