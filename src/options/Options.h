#pragma once
// The options dialog: the program as the desktop's viewer and printer of font
// files, and the splash at start-up. Modeless; it closes itself when another window
// of the program becomes active.
#include "app/WindowSeams.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QPushButton;

namespace typeloom::platform {
class KeyPreview;
class MessageBoxes;
class Registry;
class SettingsStore;
}  // namespace typeloom::platform

namespace typeloom::app {
struct FontModule;
struct Services;
}  // namespace typeloom::app

namespace typeloom::options {

// What the dialog uses of the program.
struct OptionsServices {
  platform::SettingsStore& settings;
  platform::MessageBoxes& messages;
  platform::Registry& registry;
  QString openCommand;
  QString printCommand;
  std::function<void()> endProgram;  // closes every window and ends the program
};

inline constexpr char kCaption[] = " Typeloom Options";
inline constexpr char kQuestionTitle[] = " Exit Options Entry";
inline constexpr char kNotSavedText[] = "Some options could not be saved; the files below were left as they were:";
inline constexpr char kNotBoundText[] =
    "The desktop's file type lists could not be changed for every font type, so this option was left unchecked:";
inline constexpr char kQuestionText[] = "The Typeloom options have changed.\r\n\r\n    Do you wish to save the changes?";

class Options : public QDialog {
  Q_OBJECT
 public:
  // Client area at design size, in twips.
  static constexpr int kDesignWidth = 3975;
  static constexpr int kDesignHeight = 2175;

  Options(OptionsServices services, QWidget* mainWindow);
  ~Options() override;

  // Places the dialog over the main window and loads the boxes from the store.
  void Form_Load();
  void Form_KeyDown(int& keyCode, int shift);
  // Another window of the program became active: changes are dropped, the dialog closes.
  void Form_Deactivate();
  // Every close asks here first; false refuses it.
  bool Form_QueryUnload();
  void fOption_Click(int index);
  void saveButton_Click();
  void cancelButton_Click();
  void ResetButtons();

  std::array<QCheckBox*, 3> fOption{};
  QPushButton* saveButton = nullptr;
  QPushButton* cancelButton = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  OptionsServices services_;
  QPointer<QWidget> mainWindow_;
  std::unique_ptr<platform::KeyPreview> keyPreview_;
  bool asking_ = false;
  bool placed_ = false;

  void Place();
};

// The main window's seam for the dialog: each opening creates and loads it afresh.
class OptionsWindow final : public app::WindowSeam {
 public:
  OptionsWindow(app::MainWindowState& main, OptionsServices services) : main_(main), services_(std::move(services)) {}
  void Open() override;
  void Close() override;
  bool IsOpen() const override { return !dialog_.isNull() && dialog_->isVisible(); }
  Options* dialog() const { return dialog_.data(); }

 private:
  app::MainWindowState& main_;
  OptionsServices services_;
  QPointer<Options> dialog_;
};

// The seam for the real program.
std::unique_ptr<app::WindowSeam> MakeOptionsWindow(app::MainWindowState& main, app::FontModule& module,
                                                   app::Services& services);

}  // namespace typeloom::options
