#include "summary/Summary.h"

#include "platform/fonts/FaceResolver.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/WindowServices.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QSignalBlocker>
#include <QScrollBar>

namespace typeloom::summary {
namespace {

// Draws the page with a painter, twips turned into pixels.
class PainterSurface final : public PageSurface {
 public:
  PainterSurface(QPainter& painter, QWidget& area) : painter_(painter), area_(area) {}
  void Clear() override { painter_.fillRect(area_.rect(), Background()); }
  void DrawText(int x, int y, const QString& text, const QFont& font) override {
    const QFontMetricsF metrics(font, &area_);
    const QPointF topLeft(platform::TwipsToPixelsX(x), platform::TwipsToPixelsY(y));
    painter_.setFont(font);
    painter_.setPen(platform::SystemColor(platform::kColorWindowText));
    painter_.fillRect(QRectF(topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height())), Background());
    painter_.drawText(topLeft + QPointF(0, metrics.ascent()), text);
  }
  static QColor Background() { return platform::SystemColor(platform::kColorWindow); }

 private:
  QPainter& painter_;
  QWidget& area_;
};

// The drawing area: it paints the page whenever it is shown or uncovered.
class PageArea final : public QWidget {
 public:
  PageArea(Summary& summary, QWidget* parent) : QWidget(parent), summary_(summary) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    PainterSurface surface(painter, *this);
    summary_.DrawPage(surface);
  }

 private:
  Summary& summary_;
};

QFont SharedResolve(const QString& name, double pointSize) { return platform::ResolveFont(name, pointSize); }

}  // namespace

Summary::Summary(app::MainWindowState& main, FontResolver resolve)
    : QWidget(main.MainWidget(), Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_(main),
      resolve_(resolve ? std::move(resolve) : FontResolver(SharedResolve)) {
  setWindowTitle(" Font Summary");
  setAttribute(Qt::WA_DeleteOnClose);
  setFont(platform::DialogFont());
  setFixedSize(platform::TwipsToPixelsX(kClientWidth), platform::TwipsToPixelsY(kClientHeight));

  fontPicture_ = new PageArea(*this, this);
  fontPicture_->setGeometry(platform::TwipsRect(240, 240, 4905, 3855));

  vScroll_ = new QScrollBar(Qt::Vertical, this);
  vScroll_->setGeometry(platform::TwipsRect(5145, 225, 255, 3855));
  vScroll_->setPageStep(kRowsPerPage);
  vScroll_->setSingleStep(1);
  vScroll_->setMinimum(0);
  vScroll_->setFocusPolicy(Qt::StrongFocus);
  connect(vScroll_, &QScrollBar::valueChanged, this, [this] { VScroll_Change(); });

  keyPreview_ = new platform::KeyPreview(this, [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); });
  fontPicture_->installEventFilter(this);
}

Summary::~Summary() = default;

bool Summary::eventFilter(QObject* watched, QEvent* event) {
  // The wheel over the page turns the scroll bar: rows as its arrows move them, as
  // many for a notch as the desktop's wheel setting asks.
  if (watched == fontPicture_ && event->type() == QEvent::Wheel) {
    QApplication::sendEvent(vScroll_, event);
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void Summary::Form_Load() {
  if (QWidget* mainWidget = main_.MainWidget()) {
    const QRect outer = mainWidget->frameGeometry();
    const QRect mainTwips(platform::PixelsToTwipsX(outer.left()), platform::PixelsToTwipsY(outer.top()),
                          platform::PixelsToTwipsX(outer.width()), platform::PixelsToTwipsY(outer.height()));
    // The summary's frame is taken to be as wide as the main window's.
    const QSize frame(outer.width() - mainWidget->width(), outer.height() - mainWidget->height());
    const QSize ownTwips(platform::PixelsToTwipsX(width() + frame.width()),
                         platform::PixelsToTwipsY(height() + frame.height()));
    const QPoint at = Placement(mainTwips, ownTwips);
    move(platform::TwipsToPixelsX(at.x()), platform::TwipsToPixelsY(at.y()));
  }
  // The names as the main window listed them (shared, not copied, and not asked of
  // the font system again).
  names_ = main_.FontNames();
  const ScrollRange range = RangeFor(summaryCount());
  {
    const QSignalBlocker block(vScroll_);
    vScroll_->setRange(range.minimum, range.maximum);
    vScroll_->setValue(0);
  }
  topIndex_ = 0;
  labelFontName_ = fontPicture_->font().family();
}

void Summary::VScroll_Change() {
  topIndex_ = vScroll_->value();
  ++redraws_;
  fontPicture_->update();
}

void Summary::Form_KeyDown(int& keyCode, int shift) {
  const KeyAction action =
      ActionForKey(keyCode, shift, vScroll_->value(), ScrollRange{vScroll_->minimum(), vScroll_->maximum()});
  if (action.value) {
    vScroll_->setValue(*action.value);
    keyCode = 0;
  }
  if (action.toggleSample) {
    userSample_ = !userSample_;
    keyCode = 0;
    fontPicture_->update();
  }
  if (action.close) {
    keyCode = 0;
    close();
    if (action.endProgram) main_.EndProgram();
  }
}

SampleColumn Summary::sampleColumn() const { return userSample_ ? UserSampleColumn(main_.SampleText()) : SampleColumn{}; }

void Summary::DrawPage(PageSurface& surface) const {
  summary::DrawPage(surface, names_, topIndex_, labelFontName_, resolve_, sampleColumn());
}

SummaryWindow::SummaryWindow(app::MainWindowState& main, FontResolver resolve)
    : main_(main), resolve_(std::move(resolve)) {}

SummaryWindow::~SummaryWindow() { delete window_.data(); }

void SummaryWindow::Open() {
  Close();
  window_ = new Summary(main_, resolve_);
  window_->Form_Load();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void SummaryWindow::Close() {
  // Closed now and deleted at the next event-loop turn: this may run inside the
  // window's own key handler (Shift+Escape ends the program).
  if (Summary* w = window_.data()) {
    window_.clear();
    w->close();
  }
}

bool SummaryWindow::IsOpen() const { return window_ && window_->isVisible(); }

std::unique_ptr<app::WindowSeam> MakeSummaryWindow(app::MainWindowState& main) {
  return std::make_unique<SummaryWindow>(main);
}

}  // namespace typeloom::summary
