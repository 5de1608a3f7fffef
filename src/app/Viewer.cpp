#include "app/Viewer.h"

#include "controls/ButtonWidget.h"
#include "app/FontDisplay.h"
#include "app/FontFilter.h"
#include "app/SampleDrawing.h"
#include "platform/files/AppendLine.h"
#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/FontCoverage.h"
#include "platform/fonts/InstalledFonts.h"
#include "platform/graphics/GraphicsFacts.h"
#include "platform/ui/ApplicationFontScope.h"
#include "platform/ui/Clock.h"
#include "platform/ui/ListWithEdit.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/PlainText.h"
#include "options/Settings.h"
#include "platform/settings/SettingsStore.h"
#include "platform/ui/WindowServices.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

namespace typeloom::app {
namespace {

using platform::TwipsRect;

void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(TwipsRect(left, top, width, height));
}

}  // namespace

Viewer::Viewer(FontModule& module, Services& services, SplashScreen* splash, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      module_(module),
      services_(services),
      splash_(splash),
      facts_(&platform::LinuxGraphicsFacts()) {
  setWindowTitle(kMainCaption);
  setAttribute(Qt::WA_DeleteOnClose, false);
  // The labels and frame use the small sans-serif dialog face; so do the other controls.
  // They are built with it as the application's font, so that the edit fields do not
  // load the desktop's face for their first, empty layout.
  const QFont face = platform::DialogFont();
  const platform::ApplicationFontScope building(face);
  setFont(face);
  setFixedSize(platform::TwipsToPixelsX(kDesignWidth), platform::TwipsToPixelsY(kDesignHeight));
  CreateControls();
  keyPreview_ = new platform::KeyPreview(this, [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); });
}

Viewer::~Viewer() = default;

QString Viewer::SampleText() const { return displayText->text(); }

void Viewer::SetWindows(ViewerWindows windows) {
  windows_ = std::move(windows);
  if (windows_.splash) splash_ = windows_.splash.get();
}

QString Viewer::SelectedFontName() const { return FaceOf(fontList->Text()); }

const CommandLineFont* Viewer::FileFont(const QString& entry) const {
  for (const auto& [name, font] : fileFonts_) {
    if (name == entry) return font.get();
  }
  return nullptr;
}

QString Viewer::FaceOf(const QString& entry) const {
  const CommandLineFont* font = FileFont(entry);
  return font != nullptr ? font->Name() : entry;
}

bool Viewer::SelectFontFile(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QString entry;
  for (const auto& [name, font] : fileFonts_) {
    if (font->FilePath() == absolute) entry = name;
  }
  if (entry.isEmpty()) {
    auto font = std::make_unique<CommandLineFont>();
    QString error;
    if (!font->OpenFile(absolute, *facts_, &error)) {
      Trace("not a font file: " + error);
      return false;
    }
    entry = FileEntryName(font->Name(), absolute);
    // Another file of the same name and face gets its own entry too.
    while (module_.fontNames.contains(entry)) entry += u'\'';
    Trace(QStringLiteral("font file %1 as %2 installed=%3")
              .arg(absolute, entry)
              .arg(font->FontDetails().installed ? 1 : 0));
    fileFonts_.emplace_back(entry, std::move(font));
    fontList->AddItem(entry);
    module_.fontNames = fontList->Items();
    drawNames_.clear();
    for (const QString& name : module_.fontNames) drawNames_ << FaceOf(name);
  }
  fontList->SetListIndex(static_cast<int>(module_.fontNames.indexOf(entry)));
  // The face is drawn as it is: its own weight and slant, nothing added.
  effect[0]->setChecked(false);
  effect[1]->setChecked(false);
  TraceSelection();
  return true;
}

QString Viewer::DetailsText() const {
  return detailText->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void Viewer::CloseWindows(std::initializer_list<WindowSeam*> seams) {
  for (WindowSeam* seam : seams) {
    if (seam != nullptr) seam->Close();
  }
}

void Viewer::EndProgram() {
  CloseWindows({windows_.printDialog.get(), windows_.options.get(), windows_.summary.get(), windows_.about.get()});
  close();
  // Ends the event loop without handling the events still queued.
  QCoreApplication::quit();
}

void Viewer::CreateControls() {
  auto label = [this](const char* caption, int l, int t, int w, int h) {
    auto* widget = platform::MakePlainLabel(QString::fromUtf8(caption), this);
    Place(widget, l, t, w, h);
    // A caption wider in this face than in the design's keeps its whole text.
    if (widget->sizeHint().width() > widget->width()) widget->resize(widget->sizeHint().width(), widget->height());
    return widget;
  };
  auto button = [this](const char* caption, const char* tip, int l, int t, int w, int h) {
    auto* widget = new QPushButton(QString::fromUtf8(caption), this);
    widget->setToolTip(QString::fromUtf8(tip));
    Place(widget, l, t, w, h);
    return widget;
  };

  // Both lists stay hidden until filled.
  auto list = [this](QLabel* caption, bool sorted, const char* tip, int l, int t, int w, int h) {
    auto* widget = new platform::ListWithEdit(sorted, this);
    widget->setToolTip(QString::fromUtf8(tip));
    Place(widget, l, t, w, h);
    widget->hide();
    caption->setBuddy(widget);
    return widget;
  };

  Label1 = label("Font:", 240, 240, 450, 255);
  fontList = list(Label1, true, " Select a font for display from the list ", 960, 240, 2535, 1740);
  Label2 = label("Size:", 3705, 240, 450, 255);
  sizeList = list(Label2, false, " Select a font size for display ", 4200, 240, 600, 1740);

  summaryButton = button("&Summary", " Display a summary view of all installed fonts ", 5160, 240, 855, 375);
  printButton = button("&Print", " Print a sample page for the currently selected font ", 5160, 690, 855, 375);
  optionsButton = button("&Options", " Modify program options ", 5160, 1140, 855, 375);
  exitButton = button("E&xit", " Exit the program ", 5160, 1590, 855, 375);

  Label4 = label("Effects:", 240, 2190, 660, 255);
  Frame1 = new QGroupBox(this);
  Place(Frame1, 960, 2070, 1305, 1455);
  const std::array<std::pair<const char*, const char*>, 4> effects{{
      {"Bold", " Display the current font in bold characters "},
      {"Italics", " Display the current font in italics "},
      {"Strikethru", " Display the current font in strike-through characters "},
      {"Underline", " Display the current font with underlines "},
  }};
  for (std::size_t i = 0; i < effects.size(); ++i) {
    effect[i] = new QCheckBox(effects[i].first, Frame1);
    effect[i]->setStyleSheet("QCheckBox { spacing: 3px; }");
    effect[i]->setToolTip(effects[i].second);
    Place(effect[i], 180, 255 + 270 * static_cast<int>(i), 975, 255);
  }

  Label5 = label("Details:", 2505, 2190, 660, 255);
  detailText = new QPlainTextEdit(this);
  detailText->setToolTip(" Displays detail information about the current font ");
  detailText->setReadOnly(true);
  Place(detailText, 3240, 2190, 2775, 1320);
  Label6 = label("Copyright:", 240, 3645, 720, 255);
  Copyright = label("", 1005, 3645, 4920, 210);

  Label3 = label("Text:", 240, 4035, 450, 255);
  displayText = new QLineEdit(this);
  displayText->setToolTip(" Enter the text you would like to see displayed for the current font ");
  Place(displayText, 960, 4035, 5055, 285);
  Label3->setBuddy(displayText);

  displayPicture = new SampleArea(this);
  displayPicture->setFocusPolicy(Qt::TabFocus);
  displayPicture->setToolTip(kSampleToolTip);
  Place(displayPicture, 960, 4410, 5055, 1275);

  TextSize = new QWidget(this);
  Place(TextSize, 240, 3960, 255, 15);
  TextSize->hide();

  // The round "?" button, loaded from the window's layout.
  HelpButton = new controls::ButtonWidget(this);
  HelpButton->button().ReadProperties(controls::PropertyStore{{"Caption", "?"}, {"BackColor", 0xFF00FFu}});
  HelpButton->setToolTip(" View program and company-contact information ");
  Place(HelpButton, 15, 5670, 255, 255);
  HelpButton->button().Click = [this] { HelpButton_Click(); };

  // Tab order as the layout numbers it.
  const std::vector<QWidget*> tabOrder{fontList,    sizeList,   Frame1,        effect[0],    effect[1],
                                       effect[2],   effect[3],  displayText,   summaryButton, printButton,
                                       optionsButton, exitButton, displayPicture, detailText,   HelpButton};
  for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  connect(fontList, &platform::ListWithEdit::Click, this, &Viewer::fontList_Click);
  connect(sizeList, &platform::ListWithEdit::Click, this, &Viewer::sizeList_Click);
  for (QCheckBox* box : effect) connect(box, &QCheckBox::toggled, this, &Viewer::effect_Click);
  connect(displayText, &QLineEdit::textChanged, this, &Viewer::displayText_Change);
  displayText->installEventFilter(this);
  connect(printButton, &QPushButton::clicked, this, &Viewer::printButton_Click);
  connect(summaryButton, &QPushButton::clicked, this, &Viewer::summaryButton_Click);
  connect(optionsButton, &QPushButton::clicked, this, &Viewer::optionsButton_Click);
  connect(exitButton, &QPushButton::clicked, this, &Viewer::exitButton_Click);

  filterTimer_ = new QTimer(this);
  filterTimer_->setSingleShot(true);
  filterTimer_->setInterval(kFilterDelayMs);
  connect(filterTimer_, &QTimer::timeout, this, &Viewer::ApplyFontFilter);
}

void Viewer::Form_Load() {
  // Centred on the screen, a little above the middle.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    const int w = platform::PixelsToTwipsX(frameGeometry().width());
    const int h = platform::PixelsToTwipsY(frameGeometry().height());
    const int left = (platform::PixelsToTwipsX(area.width()) - w) / 2;
    const int top = std::max(0, (platform::PixelsToTwipsY(area.height()) - h) / 2 - 600);
    move(area.left() + platform::TwipsToPixelsX(left), area.top() + platform::TwipsToPixelsY(top));
  }
  userText = false;
  activated = false;
  Trace("load");
  const bool splash = splash_ != nullptr && settings::IsOne(services_.settings, settings::kShowSplash);
  if (splash) {
    Trace("splash show");
    splash_->Show();
    Trace("pause 1");
    Pause(services_.clock, services_.events, 1);
  }
  loading = true;
  FillFontList(services_.registry, module_.catalogue, *fontList, module_.fontNames);
  drawNames_ = module_.fontNames;
  ProcessCommandLine();
  loading = false;
  fontList_Click();
  fontList->show();
  if (splash) {
    Trace("pause 1");
    Pause(services_.clock, services_.events, 1);
  }
}

void Viewer::Form_Activate() {
  Trace("form activate");
  // Clicking back into the main window closes these three; the options dialog
  // closes itself when it loses activation.
  CloseWindows({windows_.about.get(), windows_.summary.get(), windows_.printDialog.get()});
  RenderSample();
  FirstActivation();
}

void Viewer::Form_Unload() {
  CloseWindows({windows_.summary.get(), windows_.options.get(), windows_.printDialog.get()});
}

void Viewer::summaryButton_Click() {
  if (windows_.summary) windows_.summary->Open();
}

void Viewer::optionsButton_Click() {
  if (windows_.options) windows_.options->Open();
}

void Viewer::HelpButton_Click() {
  if (windows_.about) windows_.about->Open();
}

void Viewer::exitButton_Click() {
  CloseWindows({windows_.printDialog.get(), windows_.summary.get()});
  close();
  QCoreApplication::quit();
}

void Viewer::FirstActivation() {
  if (activated) return;
  activated = true;
  Trace("activated");
  if (splash_ == nullptr || !settings::IsOne(services_.settings, settings::kShowSplash)) return;
  services_.events.ProcessEvents();
  Trace("splash close");
  splash_->Close();
  Trace("splash show");
  splash_->Show();
  Trace("pause 3");
  Pause(services_.clock, services_.events, 3);
  Trace("splash close");
  splash_->Close();
}

void Viewer::Form_Paint() {
  if (!printPending) return;
  printPending = false;
  // The dialog opens once the paint has finished and pending events have run.
  QTimer::singleShot(0, this, &Viewer::printButton_Click);
}

void Viewer::Form_KeyDown(int& keyCode, int shift) {
  if (isMinimized() || isMaximized()) showNormal();
  constexpr int kF1 = 112, kEscape = 27, kP = 80, kCtrl = 2;
  if (keyCode == kHandOverKey) {
    // A later start's request comes with its hand-over; the setting is read only
    // when the key arrives without one.
    QString commandLine;
    if (module_.handedOverCommandLine) {
      commandLine = *std::exchange(module_.handedOverCommandLine, std::nullopt);
      settings::Write(services_.settings, settings::kCommandLine, commandLine);
    } else {
      commandLine = settings::Read(services_.settings, settings::kCommandLine);
    }
    // The print dialog prints the selected font when it is confirmed: a request
    // arriving while one is pending or open (a file manager printing several files
    // starts the program once for each) waits until the dialog has closed, so it
    // cannot change the font that dialog prints or lose its own print.
    if (printPending || (windows_.printDialog && windows_.printDialog->IsOpen())) {
      // Bounded: any program of the user's may send requests.
      if (heldCommandLines_.size() < kMaxHeldCommandLines) heldCommandLines_.push_back(commandLine);
      Trace("held " + commandLine);
    } else {
      module_.commandLine = commandLine;
      ProcessCommandLine();
    }
  } else if (keyCode == kF1) {
    HelpButton_Click();
  } else if (keyCode == kEscape) {
    exitButton_Click();
  } else if (keyCode == kP && shift == kCtrl) {
    printButton_Click();
  } else if (keyCode == kFilterKey && shift == kCtrl) {
    ToggleFontFilter();
  }
  // The key is not consumed: the focused control receives it as well.
}

void Viewer::ProcessCommandLine() {
  // A font file given meanwhile may be one the filter hides: the whole list comes back.
  if (fontFilter_) ToggleFontFilter();
  printPending = false;
  QString& line = module_.commandLine;
  if (!line.isEmpty()) {
    // The print form is "/p" as a first argument of its own: an absolute path such
    // as /pub/fonts/a.ttf begins with "/p" too.
    if (line.compare(QLatin1StringView("/p"), Qt::CaseInsensitive) == 0 ||
        line.startsWith(QLatin1StringView("/p "), Qt::CaseInsensitive)) {
      printPending = true;
      line.remove(0, 3);
    }
    const QString requested = line;
    // The file name follows the last path separator, "\\" or "/".
    const qsizetype cut = std::max(line.lastIndexOf(u'\\'), line.lastIndexOf(u'/'));
    if (cut >= 0) line.remove(0, cut + 1);
    line = line.toLower();

    const int entry = module_.catalogue.FindFile(line);
    // A font file that is not installed is shown from the file itself.
    if (entry < 0 && QFileInfo(requested).isFile() && SelectFontFile(requested)) return;
    if (entry < 0) {
      fontList->SetListIndex(0);
      // A print request for an unknown file is dropped: printing the first font
      // instead would print a font nobody asked for.
      printPending = false;
      Trace("not registered: " + line);
      // Shown from the event loop: a later start waits until its hand-over has
      // been handled, and must not wait for the user to close the box.
      QTimer::singleShot(0, this, [this] {
        services_.messages.Show(this, "The font selected is not registered", platform::mb::kOkOnly, kAppTitle);
      });
      return;
    }
    const QString& name = module_.catalogue.catalogueNames[static_cast<std::size_t>(entry)];
    for (int i = 0; i < module_.fontNames.size(); ++i) {
      if (module_.fontNames[i].toLower() == name) {
        fontList->SetListIndex(i);
        effect[0]->setChecked(module_.catalogue.catalogueBold[static_cast<std::size_t>(entry)]);
        effect[1]->setChecked(module_.catalogue.catalogueItalic[static_cast<std::size_t>(entry)]);
        TraceSelection();
        return;
      }
    }
  }
  fontList->SetListIndex(0);
  TraceSelection();
}

void Viewer::TraceSelection() const {
  Trace(QStringLiteral("selected %1 print=%2").arg(fontList->Text()).arg(printPending ? 1 : 0));
}

void Viewer::fontList_Click() {
  if (loading) return;
  const int record = module_.catalogue.FindName(fontList->Text().toLower());
  const QString sizes = record >= 0 ? module_.catalogue.catalogueSizes[static_cast<std::size_t>(record)] : QString();
  if (!sizes.isEmpty()) {
    ListFixedSizes(sizes);
  } else {
    ListScalableSizes();
  }
  // Selecting the size draws the sample.
  SelectSize();
  ShowDetails();
}

void Viewer::ListFixedSizes(const QString& sizes) {
  sizeList->hide();
  sizeList->SetItems(FixedSizeEntries(sizes));
}

void Viewer::ListScalableSizes() {
  sizeList->hide();
  sizeList->Clear();
  const QString name = FaceOf(fontList->Text());
  const platform::FaceLocation face = platform::LocateFace(name);
  // Loaded at the size about to be drawn: the remembered size, or the first size
  // listed when none is remembered yet.
  lineHeights_.emplace(platform::FontForFace(face, name, 0), face.scalable, TextSize,
                       currentSize != 0 ? currentSize : kStandardSizes[0]);
  lastTextHeight = 0;
  for (int size : kStandardSizes) TrySize(size);
}

void Viewer::TrySize(int size) {
  if (!lineHeights_) return;
  // The line height in whole device pixels, in twips.
  const int pixels = lineHeights_->AtPointSize(size);
  const int dpi = TextSize->logicalDpiY() > 0 ? TextSize->logicalDpiY() : 96;
  const int height = RoundHalfEven(pixels * double(platform::kTwipsPerInch) / dpi);
  if (height > lastTextHeight) {
    sizeList->AddItem(QString::number(size));
    lastTextHeight = height;
  }
}

void Viewer::SelectSize() {
  const QStringList& entries = sizeList->Items();
  if (currentSize == 0 || entries.size() <= 1) {
    // The first choice (or the only size) becomes the remembered size; a single
    // size is shown without replacing a size remembered earlier.
    selectingSize = currentSize != 0;
    sizeList->SetListIndex(0);
  } else {
    selectingSize = true;
    sizeList->SetListIndex(RememberedSizeIndex(entries, currentSize));
  }
  selectingSize = false;
  sizeList->show();
}

void Viewer::sizeList_Click() {
  const int caption = CaptionHeight(*this);
  if (fontList->Text().isEmpty()) return;
  const bool tall = sizeList->Text() == QStringLiteral("72");
  const int windowHeight = caption + (tall ? kTallWindowHeight : kWindowHeight);
  // The window's height is its outer height: the client area is what the caption
  // and the lower border leave.
  const int clientHeight = windowHeight - caption - BorderWidth(*this);
  setFixedHeight(platform::TwipsToPixelsY(clientHeight));
  displayPicture->resize(displayPicture->width(), platform::TwipsToPixelsY(tall ? kTallPictureHeight : kPictureHeight));
  const int helpHeight = platform::PixelsToTwipsY(HelpButton->height());
  HelpButton->move(HelpButton->x(),
                   platform::TwipsToPixelsY(windowHeight - helpHeight - caption - kHelpButtonMargin));
  if (!selectingSize) currentSize = RoundHalfEven(LeadingNumber(sizeList->Text()));
  RenderSample();
}

void Viewer::effect_Click() { RenderSample(); }

void Viewer::RenderSample() {
  if (!userText) {
    const bool outer = std::exchange(settingSampleLine_, true);
    displayText->setText(SampleLine(FaceOf(fontList->Text()), sizeList->Text()));
    settingSampleLine_ = outer;
  }
  const QString text = displayText->text();
  if (text.isEmpty()) {
    displayPicture->Clear();
    return;
  }
  const double size = LeadingNumber(sizeList->Text());
  // A size the area refuses (0 or less) leaves the previous one in force.
  const double points = size > 0 ? size : displayPicture->DrawnFont().pointSizeF();
  platform::FontEffects effects;
  effects.bold = effect[0]->isChecked();
  effects.italic = effect[1]->isChecked();
  effects.strikeOut = effect[2]->isChecked();
  effects.underline = effect[3]->isChecked();
  displayPicture->DrawLine(SampleFont(FaceOf(fontList->Text()), points, effects), text);
}

void Viewer::displayText_Change() {
  // Every change but the sample line set above is the user's input, however it
  // arrived: typed, composed from a dead key, committed by an input method, pasted
  // (clipboard or selection), dropped, deleted.
  if (!settingSampleLine_) displayText_KeyPress();
  RenderSample();
  // The user's text changed: the filter follows once typing pauses, never in between.
  if (fontFilter_ && !settingSampleLine_) filterTimer_->start();
  // Text typed is what a filter asks for next: the faces are read ahead, after this
  // keystroke is drawn.
  if (!settingSampleLine_ && !coverageQueued_ && !CoverageReady()) {
    coverageQueued_ = true;
    QTimer::singleShot(0, this, [this] {
      coverageQueued_ = false;
      PrepareCoverage();
    });
  }
}

platform::FontCoverage& Viewer::Coverage() {
  // Faces are indexed once and kept; a font added for this run (a file opened) makes
  // a new index.
  if (!coverage_ || coverageStamp_ != platform::FontsStamp()) {
    coverage_ = std::make_unique<platform::FontCoverage>();
    coverageStamp_ = platform::FontsStamp();
    coveragePrepared_ = false;
  }
  return *coverage_;
}

bool Viewer::CoverageReady() const {
  return coverage_ && coveragePrepared_ && coverageStamp_ == platform::FontsStamp();
}

void Viewer::PrepareCoverage() {
  platform::FontCoverage& coverage = Coverage();
  if (coveragePrepared_) return;
  for (const QString& entry : module_.fontNames) coverage.Prepare(FaceOf(entry));
  coveragePrepared_ = true;
}

void Viewer::ToggleFontFilter() {
  filterTimer_->stop();
  fontFilter_ = !fontFilter_;
  if (fontFilter_) {
    ApplyFontFilter();
    return;
  }
  const QString selected = fontList->Text();
  const FilteredList all = FilterFontList(module_.fontNames, selected, {}, {});
  shownNames_.clear();
  shownDrawNames_.clear();
  fontList->SetItems(module_.fontNames);
  fontList->setToolTip(FontListToolTip(false, 0, 0));
  fontList->Edit()->setPlaceholderText({});
  if (all.selectionKept) {
    fontList->SelectWithoutClick(all.selection);
  } else if (all.selection >= 0) {
    fontList->SetListIndex(all.selection);
  }
}

void Viewer::ApplyFontFilter() {
  if (!fontFilter_) return;
  platform::FontCoverage& coverage = Coverage();
  const std::vector<char32_t> characters = FilterCharacters(displayText->text());
  coverage.SetQuery(characters, {});
  const QString selected = fontList->Text();
  // A font file's entry is asked by the face it draws in.
  FilteredList filtered = FilterFontList(module_.fontNames, selected, characters,
                                         [&](const QString& entry) { return coverage.Matches(FaceOf(entry)); });
  fontList->setToolTip(FontListToolTip(true, static_cast<int>(filtered.shown.size()),
                                       static_cast<int>(module_.fontNames.size())));
  fontList->Edit()->setPlaceholderText(kFilterPlaceholder);
  const bool same = filtered.shown == shownNames_ && fontList->Items() == shownNames_;
  shownNames_ = std::move(filtered.shown);
  shownDrawNames_.clear();
  for (const QString& entry : shownNames_) shownDrawNames_ << FaceOf(entry);
  if (same && filtered.selectionKept) return;
  fontList->SetItems(shownNames_);
  if (filtered.selectionKept) {
    fontList->SelectWithoutClick(filtered.selection);
  } else if (filtered.selection >= 0) {
    fontList->SetListIndex(filtered.selection);
  }
  // No font has the text: the list is empty, and the font shown stays (its name in
  // the field) until the text changes.
}

void Viewer::displayText_KeyPress() { userText = true; }

void Viewer::displayText_GotFocus() { displayText->setSelection(0, static_cast<int>(displayText->text().size())); }

void Viewer::ShowDetails() {
  detailText->clear();
  const CommandLineFont* file = FileFont(fontList->Text());
  const Details details = file != nullptr ? file->FontDetails()
                                          : BuildDetails(fontList->Text(), module_.catalogue, services_.fontFolder, *facts_);
  if (!details.made) return;
  // The notice is the font file's own text: shown literally, never as markup.
  platform::SetPlainText(Copyright, details.copyright);
  detailText->setPlainText(details.lines.join(u'\n'));
}

bool Viewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == displayText) {
    if (event->type() == QEvent::FocusIn) {
      // After the click that gave the focus has placed the cursor.
      QTimer::singleShot(0, displayText, [this] { displayText_GotFocus(); });
    }
  }
  return QWidget::eventFilter(watched, event);
}

void Viewer::printButton_Click() {
  Trace("print " + fontList->Text());
  emit PrintCommand();
  // Modal: returns when the dialog closes.
  if (windows_.printDialog) windows_.printDialog->Open();
  // The requests held meanwhile, in turn, up to the next print: its dialog opens after
  // the next paint, and the rest wait for that one.
  while (!heldCommandLines_.empty() && !printPending && !(windows_.printDialog && windows_.printDialog->IsOpen())) {
    module_.commandLine = heldCommandLines_.front();
    heldCommandLines_.pop_front();
    ProcessCommandLine();
  }
}

void Viewer::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QWidget::closeEvent(event);
}

void Viewer::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (isActiveWindow()) {
    Form_Activate();
  } else {
    Trace("deactivated");
  }
}

void Viewer::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  Form_Paint();
}

// Diagnostic trail for the integration tests: one line per start-up step, written
// only when TYPELOOM_TRACE names a file.
void Viewer::Trace(const QString& line) const {
  static const QByteArray path = qgetenv("TYPELOOM_TRACE");
  if (!path.isEmpty()) platform::AppendLine(path, line.toUtf8());
}

}  // namespace typeloom::app
