// The floor of the start-up benchmark: the least work that puts the same kinds of text
// in the same faces on screen as the viewer's first paint: an edit field holding the
// first name above a list of the installed fonts' names, in the small dialog face; the
// first name's sample line in that font's own face; a bold caption in the dialog face.
// Each step is here because the viewer's window needs it too:
//  - QApplication: widgets, the xcb connection, the style;
//  - the dialog face at 8 points: the first of its families in Qt's list, set as the
//    one family (a font given several families has Qt sort fontconfig's fallbacks for
//    the first as soon as it is loaded, which the window does not), made the
//    application's font before any widget exists: an edit field lays out its empty
//    text in the application's font while it is built, before it takes the widget's
//    font, and with any other application font that is one more face looked up
//    (a fontconfig sort and match) that nothing draws;
//  - each installed face's full name (else its family), read in place from
//    fontconfig's font sets as the viewer reads them: the names the list shows, each
//    once;
//  - one case-insensitive sort: the list is shown in order;
//  - an edit field with the first name: the window shows its current name in one;
//  - a list view over a string model, with uniform item sizes, so that only the first
//    row is measured and only the visible rows are drawn, about seven as in the
//    window; the first row selected;
//  - a label with the first name's sample line in the face that name stands for,
//    found with one FcFontList by family (else by full name), and drawn without font
//    merging: a second face loaded and drawn, as the viewer's sample is;
//  - a "?" in the bold dialog face: the window's round button draws its caption bold,
//    the third face of its first paint.
// Like the viewer under TYPELOOM_TRACE, it appends the line "painted" to that file once
// its window has been drawn the first time.
#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <fontconfig/fontconfig.h>

#include <string_view>
#include <unordered_set>

#include "FloorFace.h"

namespace {

QStringList FullNames() {
  // fontconfig's sets of installed faces, read in place: a listing (FcFontList) would
  // copy every pattern to hash away duplicates. Equal names are dropped before they
  // are converted and sorted.
  std::unordered_set<std::string_view> seen;
  QStringList names;
  for (const FcSetName which : {FcSetSystem, FcSetApplication}) {
    FcFontSet* set = FcConfigGetFonts(nullptr, which);
    if (set == nullptr) continue;
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* s = nullptr;
      if ((FcPatternGetString(set->fonts[i], FC_FULLNAME, 0, &s) == FcResultMatch ||
           FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &s) == FcResultMatch) &&
          s != nullptr && seen.insert(reinterpret_cast<const char*>(s)).second) {
        names.append(QString::fromUtf8(reinterpret_cast<const char*>(s)));
      }
    }
  }
  names.sort(Qt::CaseInsensitive);
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
  QFont dialog = QApplication::font();
  const QStringList families = QFontDatabase::families();
  for (const char* family : {"Liberation Sans", "Arimo", "Arial"}) {
    if (families.contains(QLatin1StringView(family), Qt::CaseInsensitive)) {
      dialog.setFamily(QString::fromLatin1(family));
      break;
    }
  }
  dialog.setPointSize(8);
  QApplication::setFont(dialog);
  QWidget window;
  window.setWindowTitle(QStringLiteral(" Floor"));
  auto* layout = new QVBoxLayout(&window);
  const QStringList names = FullNames();
  auto* edit = new QLineEdit(names.value(0), &window);
  layout->addWidget(edit);
  auto* list = new QListView(&window);
  list->setUniformItemSizes(true);
  auto* model = new QStringListModel(names, list);
  list->setModel(model);
  list->setCurrentIndex(model->index(0));
  list->setFixedHeight(92);  // about seven rows, as the window's list shows
  layout->addWidget(list);
  auto* sample = new QLabel(&window);
  sample->setTextFormat(Qt::PlainText);
  if (!names.isEmpty()) {
    sample->setFont(typeloom::bench::FloorFont(typeloom::bench::FaceOf(names.first()), 8));
    sample->setText(names.first() + QStringLiteral(" 8-point font"));
  }
  layout->addWidget(sample);
  auto* caption = new QLabel(QStringLiteral("?"), &window);
  QFont bold = dialog;
  bold.setBold(true);
  caption->setFont(bold);
  layout->addWidget(caption);
  layout->addStretch();
  window.resize(420, 400);
  FirstPaint marker;
  if (!qEnvironmentVariableIsEmpty("TYPELOOM_TRACE")) window.installEventFilter(&marker);
  window.show();
  return QApplication::exec();
}
