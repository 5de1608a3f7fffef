// Shift+Escape (or Ctrl, Alt) in the options dialog with unsaved changes: one
// question, whatever the program then closes; Cancel keeps the dialog and the
// program.
#include "options/Options.h"

#include "options/Settings.h"
#include "platform/ui/MessageBoxes.h"
#include "support/FakeAppServices.h"
#include "support/FakeMainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

namespace typeloom::options {
namespace {

namespace mb = platform::mb;

struct EndRow {
  const char* name;
  Qt::KeyboardModifier modifier;
  int reply;
  bool ends;       // the program ends
  bool saved;      // the change reached the store
};

void PrintTo(const EndRow& row, std::ostream* os) { *os << row.name; }

class OptionsEnd : public ::testing::TestWithParam<EndRow> {
 protected:
  test::FakeMainWindow main;
  test::FakeAppServices fakes;
  int ended = 0;
  std::unique_ptr<OptionsWindow> seam;
};

TEST_P(OptionsEnd, AsksOnceAndCancelKeepsRunning) {
  const EndRow& row = GetParam();
  main.widget.show();
  // Ending the program closes the dialog again, as the main window does.
  seam = std::make_unique<OptionsWindow>(
      main, OptionsServices{fakes.settings, fakes.messages, fakes.registry, "/usr/bin/typeloom %1",
                            "/usr/bin/typeloom /p %1", [this] {
                              ++ended;
                              seam->Close();
                            }});
  seam->Open();
  Options* dialog = seam->dialog();
  ASSERT_NE(dialog, nullptr);
  dialog->fOption[2]->click();  // splash off, not saved yet
  fakes.messages.reply = row.reply;
  QTest::keyClick(dialog->fOption[2], Qt::Key_Escape, row.modifier);
  EXPECT_EQ(fakes.messages.shown.size(), 1);
  EXPECT_EQ(ended, row.ends ? 1 : 0);
  EXPECT_EQ(seam->IsOpen(), !row.ends);
  EXPECT_EQ(settings::Read(fakes.settings, settings::kShowSplash), row.saved ? "0" : "1");
  seam->Close();  // a later close asks again only while the dialog is still open
  EXPECT_EQ(fakes.messages.shown.size(), row.ends ? 1 : 2);
  QApplication::processEvents();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OptionsEnd,
    ::testing::Values(EndRow{"ShiftEscapeCancel", Qt::ShiftModifier, mb::kCancel, false, false},
                      EndRow{"ShiftEscapeNo", Qt::ShiftModifier, mb::kNo, true, false},
                      EndRow{"ShiftEscapeYes", Qt::ShiftModifier, mb::kYes, true, true},
                      EndRow{"CtrlEscapeCancel", Qt::ControlModifier, mb::kCancel, false, false},
                      EndRow{"AltEscapeNo", Qt::AltModifier, mb::kNo, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace typeloom::options
