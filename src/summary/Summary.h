#pragma once
// The font summary window: every font of the main window's list writes its own
// name and a sample line, sixteen fonts to a page.
#include "app/WindowSeams.h"
#include "summary/SummaryPage.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QScrollBar;

namespace typeloom::platform {
class KeyPreview;
}  // namespace typeloom::platform

namespace typeloom::summary {

class Summary : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 5640;  // twips
  static constexpr int kClientHeight = 4395;

  // resolve: the face of each font-list name (the shared face resolution when null).
  explicit Summary(app::MainWindowState& main, FontResolver resolve = nullptr);
  ~Summary() override;

  // Places the window and takes the names; shows nothing yet.
  void Form_Load();
  void Form_KeyDown(int& keyCode, int shift);
  void VScroll_Change();
  void DrawPage(PageSurface& surface) const;

  int summaryCount() const { return static_cast<int>(names_.size()); }
  int topIndex() const { return topIndex_; }
  QString labelFontName() const { return labelFontName_; }
  QScrollBar* VScroll() const { return vScroll_; }
  QWidget* FontPicture() const { return fontPicture_; }
  // The sample column shows the main window's Text box text (key T), else the fixed sample.
  bool userSample() const { return userSample_; }
  SampleColumn sampleColumn() const;
  // How many times the page was asked to redraw after a scroll change.
  int redraws() const { return redraws_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  app::MainWindowState& main_;
  FontResolver resolve_;
  QWidget* fontPicture_;
  QScrollBar* vScroll_;
  platform::KeyPreview* keyPreview_;
  QStringList names_;
  int topIndex_ = 0;
  QString labelFontName_;
  int redraws_ = 0;
  bool userSample_ = false;
};

// The summary behind its seam: every Open loads a fresh window.
class SummaryWindow final : public app::WindowSeam {
 public:
  explicit SummaryWindow(app::MainWindowState& main, FontResolver resolve = nullptr);
  ~SummaryWindow() override;
  void Open() override;
  void Close() override;
  bool IsOpen() const override;
  Summary* window() const { return window_; }

 private:
  app::MainWindowState& main_;
  FontResolver resolve_;
  QPointer<Summary> window_;
};

std::unique_ptr<app::WindowSeam> MakeSummaryWindow(app::MainWindowState& main);

}  // namespace typeloom::summary
