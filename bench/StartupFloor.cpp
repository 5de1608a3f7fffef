// The floor of the start-up benchmark: the least work that gives the same first paint as
// the viewer's window: the same plain widgets with the same captions, placed where the
// window places them (its design in twips at 96 dpi, 15 twips a pixel), filled with the
// same kinds of text in the same faces. Each step is here because the window's first
// paint needs it too:
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
//  - a window of the window's fixed size, its widgets placed by fixed geometry: the
//    cheapest layout that draws each where the window does, at its size;
//  - the captions "Font:", "Size:", "Effects:", "Details:", "Copyright:" and "Text:"
//    as plain-text labels, and the four buttons with their mnemonics: drawn by the
//    window;
//  - an edit field with the first name over a list view of the names, with uniform
//    item sizes, so that only the first row is measured and only the visible rows are
//    drawn, about seven as in the window, the first row selected; the list's scroll
//    bar is drawn as the window's is;
//  - the same pair for the sizes: an edit field with "8" over the list of the sizes
//    offered, "8" selected;
//  - the group box with its four unchecked check boxes: drawn by the window;
//  - the details lines and the copyright line of the first name's face, read with
//    HarfBuzz from the face's file (its tables, mapped, not read whole): the name
//    table's version (ID 5) and copyright (ID 0), the layout tables' features for the
//    ligature and kerning lines, the "CFF " table's presence for the kind of outline;
//    fontconfig's pattern, already in memory, gives the pitch. These are the lines the
//    window draws for such a face; the window's rarer lines (script classes, marks,
//    right-to-left, double-byte) take reads that draw nothing for it. The lines are
//    shown in a read-only plain-text edit as in the window, with its scroll bar;
//  - the Text field holding the sample line, and below it that line on the white
//    sample area in the face that name stands for, found with one FcFontList by family
//    (else by full name), and drawn without font merging: a second face loaded and
//    drawn, as the viewer's sample is;
//  - a "?" in the bold dialog face on a magenta square: the window's round button
//    draws its caption bold in that colour, the third face of its first paint.
// Like the viewer under TYPELOOM_TRACE, it appends the line "painted" to that file once
// its window has been drawn the first time.
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>
#include <unistd.h>

#include <initializer_list>
#include <memory>
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

// Design units of the window: twips at 96 dpi.
QRect Twips(int left, int top, int width, int height) { return {left / 15, top / 15, width / 15, height / 15}; }

// A name table entry in its default (English) language, as UTF-8.
QString NameEntry(hb_face_t* face, hb_ot_name_id_t id) {
  unsigned size = hb_ot_name_get_utf8(face, id, HB_LANGUAGE_INVALID, nullptr, nullptr);
  if (size == 0) return {};
  QByteArray text(static_cast<qsizetype>(size) + 1, '\0');
  unsigned capacity = size + 1;
  hb_ot_name_get_utf8(face, id, HB_LANGUAGE_INVALID, &capacity, text.data());
  text.truncate(static_cast<qsizetype>(capacity));
  return QString::fromUtf8(text);
}

// Whether the GSUB or GPOS table lists any of the features.
bool HasFeature(hb_face_t* face, hb_tag_t table, std::initializer_list<const char*> wanted) {
  hb_tag_t tags[64];
  unsigned start = 0;
  for (;;) {
    unsigned count = 64;
    const unsigned total = hb_ot_layout_table_get_feature_tags(face, table, start, &count, tags);
    for (unsigned i = 0; i < count; ++i) {
      for (const char* tag : wanted) {
        if (tags[i] == hb_tag_from_string(tag, 4)) return true;
      }
    }
    start += count;
    if (count == 0 || start >= total) return false;
  }
}

struct FaceDetails {
  QString lines;
  QString copyright;
};

// The window's details lines and copyright line for the face.
FaceDetails DetailsOf(const typeloom::bench::FloorFace& face) {
  FaceDetails details;
  if (!face.installed || face.file.isEmpty()) return details;
  std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> blob(hb_blob_create_from_file_or_fail(face.file.constData()),
                                                              &hb_blob_destroy);
  if (!blob) return details;
  std::unique_ptr<hb_face_t, decltype(&hb_face_destroy)> owner(
      hb_face_create(blob.get(), static_cast<unsigned>(face.index)), &hb_face_destroy);
  hb_face_t* f = owner.get();
  QStringList lines;
  unsigned none = 0;
  if (hb_face_get_table_tags(f, 0, &none, nullptr) > 0) {
    std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> cff(hb_face_reference_table(f, HB_TAG('C', 'F', 'F', ' ')),
                                                               &hb_blob_destroy);
    lines << (hb_blob_get_length(cff.get()) > 0 ? QStringLiteral("Is a Device font") : QStringLiteral("Is a TrueType font"));
  }
  lines << (face.fixedPitch ? QStringLiteral("Is a fixed pitch font") : QStringLiteral("Is a variable pitch font"));
  lines << QStringLiteral("Is a vector font");
  const bool ligatures = HasFeature(f, HB_OT_TAG_GSUB, {"liga", "rlig", "clig"});
  std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> kern(hb_face_reference_table(f, HB_TAG('k', 'e', 'r', 'n')),
                                                              &hb_blob_destroy);
  const bool kerning = hb_blob_get_length(kern.get()) > 0 || HasFeature(f, HB_OT_TAG_GPOS, {"kern"});
  if (ligatures) lines << QStringLiteral("Supports ligatures");
  if (kerning) lines << QStringLiteral("Contains kerning tables");
  if (!ligatures && !kerning) lines << QStringLiteral("Is a Standard Latin Font");
  const QString version = NameEntry(f, HB_OT_NAME_ID_VERSION_STRING);
  if (!version.isEmpty()) {
    lines << (version.left(8).toLower() == QStringLiteral("version ") ? version : QStringLiteral("Version ") + version);
  }
  lines << QStringLiteral("Installed: True");
  details.lines = lines.join(u'\n');
  // The copyright label shows the notice's first sentence.
  const QString notice = NameEntry(f, HB_OT_NAME_ID_COPYRIGHT);
  const qsizetype dot = notice.indexOf(u'.');
  details.copyright = dot >= 0 ? notice.left(dot) : notice;
  return details;
}

class FirstPaint final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      // Runs once the paint that is under way has been flushed to the window.
      QTimer::singleShot(0, [] {
        // O_APPEND, as the viewer writes it: QFile's Append seeks, which warns on a pipe.
        const int fd = ::open(qgetenv("TYPELOOM_TRACE").constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) {
          [[maybe_unused]] const ssize_t written = ::write(fd, "painted\n", 8);
          ::close(fd);
        }
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
  window.setFixedSize(6255 / 15, 5940 / 15);
  auto label = [&window](const QString& caption, QRect where) {
    auto* widget = new QLabel(caption, &window);
    widget->setTextFormat(Qt::PlainText);
    widget->setGeometry(where);
    return widget;
  };
  auto listWithEdit = [&window](const QStringList& items, QRect where) {
    auto* edit = new QLineEdit(items.value(0), &window);
    edit->setGeometry(where.left(), where.top(), where.width(), 22);
    auto* list = new QListView(&window);
    list->setUniformItemSizes(true);
    auto* model = new QStringListModel(items, list);
    list->setModel(model);
    list->setCurrentIndex(model->index(0));
    list->setGeometry(where.left(), where.top() + 22, where.width(), where.height() - 22);
  };

  label(QStringLiteral("Font:"), Twips(240, 240, 450, 255));
  const QStringList names = FullNames();
  listWithEdit(names, Twips(960, 240, 2535, 1740));
  label(QStringLiteral("Size:"), Twips(3705, 240, 450, 255));
  QStringList sizes;
  for (const int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}) sizes << QString::number(size);
  listWithEdit(sizes, Twips(4200, 240, 600, 1740));
  int top = 240;
  for (const char* caption : {"&Summary", "&Print", "&Options", "E&xit"}) {
    auto* button = new QPushButton(QString::fromLatin1(caption), &window);
    button->setGeometry(Twips(5160, top, 855, 375));
    top += 450;
  }

  label(QStringLiteral("Effects:"), Twips(240, 2190, 660, 255));
  auto* group = new QGroupBox(&window);
  group->setGeometry(Twips(960, 2070, 1305, 1455));
  top = 255;
  for (const char* caption : {"Bold", "Italics", "Strikethru", "Underline"}) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), group);
    box->setGeometry(Twips(180, top, 975, 255));
    top += 270;
  }

  const typeloom::bench::FloorFace face =
      names.isEmpty() ? typeloom::bench::FloorFace{} : typeloom::bench::FaceOf(names.first());
  const FaceDetails details = DetailsOf(face);
  label(QStringLiteral("Details:"), Twips(2505, 2190, 660, 255));
  auto* detailText = new QPlainTextEdit(details.lines, &window);
  detailText->setReadOnly(true);
  detailText->setGeometry(Twips(3240, 2190, 2775, 1320));
  label(QStringLiteral("Copyright:"), Twips(240, 3645, 750, 255));
  label(details.copyright, Twips(1005, 3645, 4920, 210));

  label(QStringLiteral("Text:"), Twips(240, 4035, 450, 255));
  const QString line = names.isEmpty() ? QString() : names.first() + QStringLiteral(" 8-point font");
  auto* text = new QLineEdit(line, &window);
  text->setGeometry(Twips(960, 4035, 5055, 285));
  auto* sample = new QLabel(&window);
  sample->setTextFormat(Qt::PlainText);
  sample->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  sample->setBackgroundRole(QPalette::Base);
  sample->setAutoFillBackground(true);
  sample->setGeometry(Twips(960, 4410, 5055, 1275));
  if (!names.isEmpty()) {
    sample->setFont(typeloom::bench::FloorFont(face, 8));
    sample->setText(line);
  }

  auto* caption = label(QStringLiteral("?"), Twips(15, 5670, 255, 255));
  QFont bold = dialog;
  bold.setBold(true);
  caption->setFont(bold);
  caption->setAlignment(Qt::AlignCenter);
  QPalette magenta = caption->palette();
  magenta.setColor(QPalette::Window, QColor(0xFF, 0x00, 0xFF));
  caption->setPalette(magenta);
  caption->setAutoFillBackground(true);

  FirstPaint marker;
  if (!qEnvironmentVariableIsEmpty("TYPELOOM_TRACE")) window.installEventFilter(&marker);
  window.show();
  return QApplication::exec();
}
