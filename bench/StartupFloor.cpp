// The floor of the start-up benchmark: the least work that puts the same thing on
// screen as the viewer's first paint, a window listing the installed fonts' names in
// the small dialog face, with the first name's sample line in that font's own face.
// Each step is here because the viewer's window needs it too:
//  - QApplication: widgets, the xcb connection, the style;
//  - one FcFontList over full name and family: the names the list shows (no file,
//    style or other property is asked for, as none of them is drawn);
//  - one case-insensitive sort, then duplicates dropped: the list is shown in order;
//  - the window's font: the dialog face at 8 points, the first of its families Qt
//    knows, so the controls are drawn in the same face as the viewer's;
//  - a model-backed combo box: the list's current entry is drawn, the others are not;
//    it is sized without measuring its entries (the viewer's list does not size to its
//    names either), so no text width is computed for the ~2,000 names before the
//    window maps;
//  - a label with the first name's sample line in the face that name stands for,
//    found with one FcFontList by family (else by full name), and drawn without font
//    merging: a second face loaded and drawn, as the viewer's sample is.
// Like the viewer under TYPELOOM_TRACE, it appends the line "painted" to that file once
// its window has been drawn the first time.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QStringListModel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <fontconfig/fontconfig.h>

#include "FloorFace.h"

namespace {

QStringList FullNames() {
  QStringList names;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FULLNAME, FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  if (set != nullptr) {
    names.reserve(set->nfont);
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* s = nullptr;
      if (FcPatternGetString(set->fonts[i], FC_FULLNAME, 0, &s) == FcResultMatch ||
          FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &s) == FcResultMatch) {
        names.append(QString::fromUtf8(reinterpret_cast<const char*>(s)));
      }
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  names.sort(Qt::CaseInsensitive);
  names.removeDuplicates();
  return names;
}

class FirstPaint final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      // Runs once the paint that is under way has been flushed to the window.
      QTimer::singleShot(0, [] {
        QFile file(qEnvironmentVariable("TYPELOOM_TRACE"));
        if (file.open(QIODevice::Append | QIODevice::Text)) file.write("painted\n");
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral(" Floor"));
  QFont dialog = QApplication::font();
  dialog.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial")});
  dialog.setPointSize(8);
  window.setFont(dialog);
  auto* layout = new QVBoxLayout(&window);
  auto* box = new QComboBox(&window);
  // The default policy (AdjustToContentsOnFirstShow) measures every entry's width
  // before the first show; the layout gives the box the window's width anyway.
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(24);
  const QStringList names = FullNames();
  auto* model = new QStringListModel(names, box);
  box->setModel(model);
  box->setCurrentIndex(0);
  layout->addWidget(box);
  auto* sample = new QLabel(&window);
  sample->setTextFormat(Qt::PlainText);
  if (!names.isEmpty()) {
    sample->setFont(typeloom::bench::FloorFont(typeloom::bench::FaceOf(names.first()), 8));
    sample->setText(names.first() + QStringLiteral(" 8-point font"));
  }
  layout->addWidget(sample);
  layout->addStretch();
  window.resize(420, 400);
  FirstPaint marker;
  if (!qEnvironmentVariableIsEmpty("TYPELOOM_TRACE")) window.installEventFilter(&marker);
  window.show();
  return QApplication::exec();
}
