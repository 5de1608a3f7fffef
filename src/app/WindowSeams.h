#pragma once
// The windows the main window opens. Each plugs in through one seam, so the main
// window knows none of them and each window's library needs only this header.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace typeloom::app {

struct FontModule;
struct Services;

// The start-up splash window; the main window shows and closes it.
class SplashScreen {
 public:
  virtual ~SplashScreen() = default;
  virtual void Show() = 0;
  virtual void Close() = 0;
};

// What the other windows read from the main window and ask of it.
class MainWindowState {
 public:
  virtual ~MainWindowState() = default;
  // The main window, for placement and as the dialogs' owner.
  virtual QWidget* MainWidget() = 0;
  // fontList's text: the selected font's name.
  virtual QString SelectedFontName() const = 0;
  // The details panel's text, its lines ended by CR LF.
  virtual QString DetailsText() const = 0;
  // fontList's entries, in list order.
  virtual const QStringList& FontNames() const = 0;
  // The Text box's text.
  virtual QString SampleText() const { return {}; }
  // Closes every other window, then the main window: the program ends.
  virtual void EndProgram() = 0;
};

// One window opened from the main window.
class WindowSeam {
 public:
  virtual ~WindowSeam() = default;
  // Loads and shows the window (the print dialog modally: returns when it closes).
  virtual void Open() = 0;
  // Unloads the window when it is loaded; does nothing otherwise.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
};

// A missing seam leaves its command inert.
struct ViewerWindows {
  std::unique_ptr<WindowSeam> summary;
  std::unique_ptr<WindowSeam> printDialog;
  std::unique_ptr<WindowSeam> options;
  std::unique_ptr<WindowSeam> about;
  std::unique_ptr<SplashScreen> splash;
};

// Builds the program's windows for a main window; the executable supplies it
// (src/app/Windows.cpp), tests supply fakes.
using MakeViewerWindows = std::function<ViewerWindows(MainWindowState&, FontModule&, Services&)>;

}  // namespace typeloom::app
