#pragma once
// The main window: the font list, size list, effects, details and sample.
#include "app/FontModule.h"
#include "app/WindowSeams.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace typeloom::controls {
class ButtonWidget;
}  // namespace typeloom::controls

namespace typeloom::platform {
class KeyPreview;
class ListWithEdit;
}  // namespace typeloom::platform

namespace typeloom::app {

class Viewer : public QWidget, public MainWindowState {
  Q_OBJECT
 public:
  // Client area at design size, in twips.
  static constexpr int kDesignWidth = 6255;
  static constexpr int kDesignHeight = 5940;

  Viewer(FontModule& module, Services& services, SplashScreen* splash = nullptr, QWidget* parent = nullptr);
  ~Viewer() override;

  // Plugs in the windows opened from this one (before Form_Load).
  void SetWindows(ViewerWindows windows);
  ViewerWindows& Windows() { return windows_; }

  // MainWindowState
  QWidget* MainWidget() override { return this; }
  QString SelectedFontName() const override;
  QString DetailsText() const override;
  const QStringList& FontNames() const override { return module_.fontNames; }
  void EndProgram() override;

  // Start-up: placement, splash, the lists, the command line, the first selection.
  void Form_Load();
  // Runs each time the window becomes the active window.
  void Form_Activate();
  void Form_Paint();
  // Sees every key before the control that has the focus.
  void Form_KeyDown(int& keyCode, int shift);

  // Turns `commandLine` into a selection in the font list or a pending print.
  void ProcessCommandLine();

  void fontList_Click();
  void printButton_Click();

  // Controls, named as the window's layout names them.
  QLabel* Label1 = nullptr;
  platform::ListWithEdit* fontList = nullptr;
  QLabel* Label2 = nullptr;
  platform::ListWithEdit* sizeList = nullptr;
  QPushButton* summaryButton = nullptr;
  QPushButton* printButton = nullptr;
  QPushButton* optionsButton = nullptr;
  QPushButton* exitButton = nullptr;
  QLabel* Label4 = nullptr;
  QGroupBox* Frame1 = nullptr;
  std::array<QCheckBox*, 4> effect{};
  QLabel* Label5 = nullptr;
  QPlainTextEdit* detailText = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Copyright = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* displayText = nullptr;
  QWidget* displayPicture = nullptr;
  QWidget* TextSize = nullptr;
  controls::ButtonWidget* HelpButton = nullptr;

  bool printPending = false;
  bool loading = false;
  bool activated = false;
  bool userText = false;

 signals:
  // The print command ran (the print dialog opens for the selected font).
  void PrintCommand();

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateControls();
  void FirstActivation();
  void Trace(const QString& line) const;
  void TraceSelection() const;

  FontModule& module_;
  Services& services_;
  SplashScreen* splash_;
  ViewerWindows windows_;
  platform::KeyPreview* keyPreview_ = nullptr;
};

}  // namespace typeloom::app
