#include "about/Logo.h"

#include "app/FontModule.h"
#include "platform/ui/Clock.h"
#include "platform/ui/PlainText.h"
#include "platform/ui/WindowServices.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace typeloom::about {
namespace {

const QColor kMagenta(255, 0, 255);
const QColor kPaleYellow(255, 255, 128);

QFont SansSerif(double points, bool bold = false) {
  QFont font = platform::DialogFont();
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

}  // namespace

QString VersionCaption(int major, int minor) { return QStringLiteral("Version %1.%2").arg(major).arg(minor); }

QString MakerNotice() { return QStringLiteral("Copyright 2026 Corvane Software Inc. ") + QChar(0x00AE); }

QRegion RoundedOutline(int width, int height, int corner) {
  // The rounded rectangle spans (1, 1) up to, not including, (width, height).
  const QRect box(1, 1, width - 1, height - 1);
  if (box.width() <= 0 || box.height() <= 0) return {};
  const int ew = std::min(corner, box.width());
  const int eh = std::min(corner, box.height());
  QRegion region(box.adjusted(ew / 2, 0, -ew / 2, 0));
  region += box.adjusted(0, eh / 2, 0, -eh / 2);
  const int right = box.right() - ew + 1;
  const int bottom = box.bottom() - eh + 1;
  for (const QPoint corner_at : {QPoint(box.left(), box.top()), QPoint(right, box.top()), QPoint(box.left(), bottom),
                                 QPoint(right, bottom)}) {
    region += QRegion(QRect(corner_at, QSize(ew, eh)), QRegion::Ellipse);
  }
  return region;
}

QPainterPath RoundedOutlinePath(QSizeF size, qreal ratio, int corner) {
  // The region's box in device pixels, (1, 1) up to (width, height), in logical units.
  const qreal pixel = ratio > 0 ? 1.0 / ratio : 1.0;
  const QRectF box(pixel, pixel, size.width() - pixel, size.height() - pixel);
  QPainterPath path;
  if (box.width() <= 0 || box.height() <= 0) return path;
  const qreal radius = std::min({corner * pixel / 2, box.width() / 2, box.height() / 2});
  path.addRoundedRect(box, radius, radius);
  return path;
}

SplashLook SplashLookFor(platform::WindowSystem system, bool ownerShown) {
  if (system != platform::WindowSystem::Wayland) return {};
  SplashLook look;
  look.maskedOutline = false;
  look.paintedOutline = true;
  look.popupOverOwner = ownerShown;
  look.centredOnScreen = false;
  return look;
}

QPixmap ProgramIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 128.0, size / 128.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x2b, 0x4a, 0x6f));
  painter.drawRoundedRect(QRectF(8, 8, 112, 112), 20, 20);
  QPainterPath letter;
  letter.moveTo(30, 96);
  letter.lineTo(56, 30);
  letter.lineTo(72, 30);
  letter.lineTo(98, 96);
  letter.lineTo(82, 96);
  letter.lineTo(76, 79);
  letter.lineTo(52, 79);
  letter.lineTo(46, 96);
  letter.closeSubpath();
  letter.moveTo(57, 66);
  letter.lineTo(71, 66);
  letter.lineTo(64, 45);
  letter.closeSubpath();
  painter.setBrush(QColor(0xf4, 0xef, 0xe4));
  painter.drawPath(letter);
  painter.setBrush(QColor(0xe0, 0xa0, 0x40));
  painter.drawRoundedRect(QRectF(24, 102, 80, 6), 3, 3);
  return pixmap;
}

QPixmap SampleIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 32.0, size / 32.0);
  // A sheet with a large letter and lines of text: a specimen page.
  painter.setPen(QPen(QColor(64, 64, 64), 1));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(5.5, 2.5, 21, 27));
  QFont serif("Liberation Serif");
  serif.setPixelSize(14);
  serif.setItalic(true);
  painter.setFont(serif);
  painter.setPen(QColor(0x2b, 0x4a, 0x6f));
  painter.drawText(QRectF(6, 3, 20, 14), Qt::AlignCenter, QStringLiteral("Aa"));
  painter.setPen(QPen(QColor(128, 128, 128), 1));
  for (int y = 19; y <= 26; y += 3) painter.drawLine(QPointF(9, y + 0.5), QPointF(23, y + 0.5));
  return pixmap;
}

Logo::Logo(platform::Clock& clock, platform::EventPump& events, const SplashLook& look, QWidget* owner)
    : QWidget(nullptr, look.popupOverOwner && owner != nullptr
                           ? Qt::ToolTip | Qt::FramelessWindowHint
                           : Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                 Qt::WindowDoesNotAcceptFocus),
      clock_(clock),
      events_(events),
      look_(look) {
  if (owner == nullptr) look_.popupOverOwner = false;
  setWindowTitle(app::kAppTitle);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(platform::TwipsToPixelsX(kClientWidth), platform::TwipsToPixelsY(kClientHeight));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kMagenta);
  setPalette(palette);
  if (look_.paintedOutline) {
    // Only the painted outline is opaque; the corners show what lies behind.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
  } else {
    setAutoFillBackground(true);
  }
  setFont(SansSerif(8.25));

  auto label = [this](const QString& text, int l, int t, int w, int h) {
    auto* widget = platform::MakePlainLabel(text, this);
    widget->setGeometry(platform::TwipsRect(l, t, w, h));
    widget->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return widget;
  };
  auto image = [this](const QPixmap& pixmap, int l, int t, int w, int h) {
    auto* widget = new QLabel(this);
    widget->setGeometry(platform::TwipsRect(l, t, w, h));
    widget->setScaledContents(true);
    if (!pixmap.isNull()) widget->setPixmap(pixmap);
    return widget;
  };

  Label0 = label(app::kAppTitle, 300, 240, 3375, 615);
  QFont title("Times New Roman");
  title.setPointSize(24);
  title.setItalic(true);
  Label0->setFont(title);
  Image2 = image(ProgramIcon(), 360, 960, 900, 900);
  Image3 = image(QPixmap(), 1560, 960, 840, 840);
  Image1 = image(SampleIcon(), 2700, 960, 900, 900);
  Label2 = label(QString(), 1500, 1920, 975, 255);
  Label3 = label(QString(), 0, 2160, 4005, 255);
  Label3->setFont(SansSerif(9.75));
  Message = label(QStringLiteral("PLEASE WAIT... Setting up display data"), 135, 2640, 3735, 285);
  Message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Message->setFont(SansSerif(8.25, true));
  QPalette yellow = Message->palette();
  yellow.setColor(QPalette::WindowText, kPaleYellow);
  Message->setPalette(yellow);

  if (look_.popupOverOwner) {
    // A popup is placed relative to its owner: centred on the main window.
    move(owner->geometry().center() - rect().center());
    winId();
    if (QWindow* ownerWindow = owner->windowHandle()) windowHandle()->setTransientParent(ownerWindow);
  } else if (look_.centredOnScreen) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->geometry().center() - rect().center());
    }
  }
}

void Logo::Form_Load() {
  setWindowState(Qt::WindowNoState);
  Label2->setText(VersionCaption(app::kVersionMajor, app::kVersionMinor));
  Label3->setText(MakerNotice());
  SetRoundedShape();
}

void Logo::SetRoundedShape() {
  if (!look_.maskedOutline) {
    update();  // paintEvent draws the outline
    return;
  }
  // The outline is measured in device pixels: the corners stay 40 pixels whatever
  // the scale; the mask itself is given in the widget's own coordinates.
  const qreal ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
  const int width = static_cast<int>(std::lround(this->width() * ratio));
  const int height = static_cast<int>(std::lround(this->height() * ratio));
  const QRegion outline = RoundedOutline(width, height);
  if (outline.isEmpty()) return;
  if (ratio == 1.0) {
    setMask(outline);
  } else {
    QRegion scaled;
    for (const QRect& r : outline) {
      scaled += QRect(QPoint(static_cast<int>(std::floor(r.left() / ratio)), static_cast<int>(std::floor(r.top() / ratio))),
                      QPoint(static_cast<int>(std::ceil((r.right() + 1) / ratio)) - 1,
                             static_cast<int>(std::ceil((r.bottom() + 1) / ratio)) - 1));
    }
    setMask(scaled);
  }
}

void Logo::Form_Activate() {
  repaint();
  const double end = clock_.Seconds() + 1.0;
  while (clock_.Seconds() < end) events_.ProcessEvents();
}

void Logo::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (look_.paintedOutline) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kMagenta);
    painter.drawPath(RoundedOutlinePath(size(), devicePixelRatioF()));
  }
  // The thin single border, following the rounded outline.
  painter.setPen(QPen(QColor(64, 0, 64), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -0.5, -0.5), 19.5, 19.5);
}

LogoSplash::LogoSplash(platform::Clock& clock, platform::EventPump& events, QWidget* owner)
    : clock_(clock), events_(events), owner_(owner) {}

LogoSplash::~LogoSplash() = default;

void LogoSplash::Show() {
  const bool ownerShown = owner_ != nullptr && owner_->isVisible();
  logo_ = std::make_unique<Logo>(clock_, events_, SplashLookFor(platform::CurrentWindowSystem(), ownerShown), owner_);
  logo_->Form_Load();
  logo_->show();
  logo_->raise();
  // The splash takes no focus, so the window system never activates it: showing
  // it is its activation.
  logo_->Form_Activate();
}

void LogoSplash::Close() {
  if (!logo_) return;
  // Unloaded once control is back in the event loop: Close may run inside one of
  // the window's own event handlers.
  Logo* logo = logo_.release();
  logo->close();
  logo->deleteLater();
}

}  // namespace typeloom::about
