#pragma once
// The main window as the windows it opens (print, summary, options, About) see it.
#include "app/WindowSeams.h"

#include <QWidget>

namespace typeloom::test {

class FakeMainWindow final : public app::MainWindowState {
 public:
  QString fontName = "DejaVu Sans";
  QString details;
  QStringList names;
  QString sampleText;
  int endProgramCalls = 0;
  QWidget widget;

  QWidget* MainWidget() override { return &widget; }
  QString SelectedFontName() const override { return fontName; }
  QString DetailsText() const override { return details; }
  const QStringList& FontNames() const override { return names; }
  QString SampleText() const override { return sampleText; }
  void EndProgram() override { ++endProgramCalls; }
};

}  // namespace typeloom::test
