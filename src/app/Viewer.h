#pragma once
// The main window: the font list, size list, effects, details and sample.
#include "app/CommandLineFont.h"
#include "app/FontModule.h"
#include "app/SampleArea.h"
#include "app/WindowSeams.h"
#include "platform/fonts/FaceResolver.h"

#include <QWidget>

#include <array>
#include <cstddef>
#include <deque>
#include <memory>
#include <vector>
#include <optional>
#include <initializer_list>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace typeloom::controls {
class ButtonWidget;
}  // namespace typeloom::controls

namespace typeloom::platform {
class FontCoverage;
class GraphicsFacts;
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
  // The list's fonts by the names they draw under (a font file's entry by its face):
  // all of them, or those the filter shows.
  const QStringList& FontNames() const override { return fontFilter_ ? shownDrawNames_ : drawNames_; }
  QString SampleText() const override;
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

  // The font display: size list, remembered size, sample.
  void fontList_Click();
  void ListFixedSizes(const QString& sizes);
  void ListScalableSizes();
  void TrySize(int size);
  void SelectSize();
  void sizeList_Click();
  void effect_Click();
  void RenderSample();
  void displayText_Change();
  void displayText_KeyPress();
  void displayText_GotFocus();

  // The font list's filter (Ctrl+F): on, the list shows only the fonts whose face
  // has every character of the Text box's text, and the user's typing re-filters
  // once it pauses; off, it shows every font again. The selection stays on the
  // chosen font while it is shown, else moves to the first shown font.
  void ToggleFontFilter();
  void ApplyFontFilter();
  bool FontFilterOn() const { return fontFilter_; }
  // Pending re-filter after typing (runs ApplyFontFilter when it fires).
  QTimer* FilterTimer() const { return filterTimer_; }
  // The coverage of every entry's face read ahead, once the user edits the text (a
  // likely filter is coming): the first Ctrl+F then only asks. True while it holds.
  void PrepareCoverage();
  bool CoverageReady() const;

  // The details panel and the copyright label for the selected font.
  void ShowDetails();
  // Where the details' graphics-system facts come from (the Linux one unless set).
  void SetGraphicsFacts(platform::GraphicsFacts& facts) { facts_ = &facts; }

  // Commands.
  void printButton_Click();
  void summaryButton_Click();
  void optionsButton_Click();
  void exitButton_Click();
  void HelpButton_Click();
  // The window is closing (its close box, or the program ending).
  void Form_Unload();

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
  SampleArea* displayPicture = nullptr;
  QWidget* TextSize = nullptr;
  controls::ButtonWidget* HelpButton = nullptr;

  bool printPending = false;
  bool loading = false;
  bool activated = false;
  bool userText = false;
  int currentSize = 0;      // the size last chosen; kept across font changes
  bool selectingSize = false;
  int lastTextHeight = 0;   // twips, of the last size ListScalableSizes offered

 signals:
  // The print command ran (the print dialog opens for the selected font).
  void PrintCommand();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateControls();
  void FirstActivation();
  static void CloseWindows(std::initializer_list<WindowSeam*> seams);
  void Trace(const QString& line) const;
  void TraceSelection() const;
  // A font file that is not installed: its list entry, made (or found) and
  // selected; false when the file is not a font the font system can load.
  bool SelectFontFile(const QString& path);
  // The opened file behind a list entry, or null for an installed font.
  const CommandLineFont* FileFont(const QString& entry) const;
  // The name `entry` draws under: the face of a file's entry, else the entry.
  QString FaceOf(const QString& entry) const;

  FontModule& module_;
  Services& services_;
  SplashScreen* splash_;
  ViewerWindows windows_;
  platform::KeyPreview* keyPreview_ = nullptr;
  platform::GraphicsFacts* facts_ = nullptr;
  std::optional<platform::LineHeights> lineHeights_;  // the listed font's heights on TextSize
  bool fontFilter_ = false;
  QStringList shownNames_;      // the list's entries the filter shows
  QStringList shownDrawNames_;  // and the names they draw under
  QTimer* filterTimer_ = nullptr;
  std::unique_ptr<platform::FontCoverage> coverage_;
  std::size_t coverageStamp_ = 0;  // FontsStamp the coverage was indexed at
  bool coveragePrepared_ = false;  // every entry's face read into coverage_
  bool coverageQueued_ = false;    // PrepareCoverage is due on the event loop
  platform::FontCoverage& Coverage();
  bool settingSampleLine_ = false;  // RenderSample is setting the sample line itself
  // Font files shown although not installed, by list entry; each keeps its font
  // added to this process until the window goes.
  std::vector<std::pair<QString, std::unique_ptr<CommandLineFont>>> fileFonts_;
  QStringList drawNames_;
  // Later starts' command lines that came while the print dialog was open, oldest first.
  static constexpr std::size_t kMaxHeldCommandLines = 256;
  std::deque<QString> heldCommandLines_;
};

}  // namespace typeloom::app
