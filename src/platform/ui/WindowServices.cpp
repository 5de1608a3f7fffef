#include "platform/ui/WindowServices.h"

#include "platform/fonts/FaceResolver.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>

#include <array>
#include <cmath>
#include <string_view>
#include <utility>

namespace typeloom::platform {
namespace {

double LogicalDpi(Qt::Orientation orientation) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 96.0;
  const double dpi = orientation == Qt::Horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
  return dpi > 0 ? dpi : 96.0;
}

int ToPixels(int twips, Qt::Orientation o) {
  return static_cast<int>(std::lround(twips * LogicalDpi(o) / kTwipsPerInch));
}
int ToTwips(int pixels, Qt::Orientation o) {
  return static_cast<int>(std::lround(pixels * kTwipsPerInch / LogicalDpi(o)));
}

// Keys whose code is not a letter, digit or function key.
constexpr std::array<std::pair<int, int>, 36> kSpecialKeys{{
    {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},         {Qt::Key_Backtab, 9},     {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},    {Qt::Key_Enter, 13},      {Qt::Key_Shift, 16},      {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},       {Qt::Key_Pause, 19},      {Qt::Key_CapsLock, 20},   {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},     {Qt::Key_PageUp, 33},     {Qt::Key_PageDown, 34},   {Qt::Key_End, 35},
    {Qt::Key_Home, 36},      {Qt::Key_Left, 37},       {Qt::Key_Up, 38},         {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},      {Qt::Key_Print, 44},      {Qt::Key_Insert, 45},     {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},      {Qt::Key_Asterisk, 106},  {Qt::Key_Plus, 107},      {Qt::Key_Minus, 109},
    {Qt::Key_Period, 190},   {Qt::Key_Slash, 191},     {Qt::Key_NumLock, 144},   {Qt::Key_ScrollLock, 145},
    {Qt::Key_Comma, 188},    {Qt::Key_Semicolon, 186}, {Qt::Key_Equal, 187},     {Qt::Key_Backslash, 220},
}};

// The US keyboard's rows at their xkb key codes (evdev + 8).
struct KeyRow {
  quint32 first;
  const char* keys;
};
constexpr std::array<KeyRow, 4> kUsRows{{{10, "1234567890"}, {24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}}};

}  // namespace

int LatinKeyCodeAt(quint32 xkbKeycode) {
  for (const KeyRow& row : kUsRows) {
    const std::string_view keys(row.keys);
    if (xkbKeycode >= row.first && xkbKeycode - row.first < keys.size()) return keys[xkbKeycode - row.first];
  }
  return 0;
}

int TwipsToPixelsX(int twips) { return ToPixels(twips, Qt::Horizontal); }
int TwipsToPixelsY(int twips) { return ToPixels(twips, Qt::Vertical); }
int PixelsToTwipsX(int pixels) { return ToTwips(pixels, Qt::Horizontal); }
int PixelsToTwipsY(int pixels) { return ToTwips(pixels, Qt::Vertical); }

QRect TwipsRect(int left, int top, int width, int height) {
  return {TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width), TwipsToPixelsY(height)};
}

QFont DialogFont() {
  // Listing every installed family takes milliseconds with thousands of fonts, and
  // every window asks: the choice is kept while the installed fonts stay the same.
  static std::size_t chosenFor = 0;
  static QString chosen;
  if (const std::size_t now = FontsStamp(); now != chosenFor) {
    chosenFor = now;
    chosen.clear();
    const QStringList families = QFontDatabase::families();
    for (const char* family : {"Liberation Sans", "Arimo", "Arial"}) {
      if (families.contains(QLatin1StringView(family), Qt::CaseInsensitive)) {
        chosen = QString::fromLatin1(family);
        break;
      }
    }
  }
  QFont font = QApplication::font();
  if (!chosen.isEmpty()) font.setFamily(chosen);
  font.setPointSize(8);
  return font;
}

int KeyCodeOf(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;  // same numbers
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return event.modifiers().testFlag(Qt::KeypadModifier) ? 96 + (key - Qt::Key_0) : key;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  for (const auto& [qtKey, code] : kSpecialKeys) {
    if (qtKey == key) return code;
  }
  // A letter of a non-Latin layout (or a key without a code of its own): the Latin
  // key at the same place, as on a US keyboard.
  return LatinKeyCodeAt(event.nativeScanCode());
}

int ShiftStateOf(const QKeyEvent& event) {
  const Qt::KeyboardModifiers m = event.modifiers();
  return (m.testFlag(Qt::ShiftModifier) ? 1 : 0) | (m.testFlag(Qt::ControlModifier) ? 2 : 0) |
         (m.testFlag(Qt::AltModifier) ? 4 : 0);
}

int QtKeyOf(int keyCode) {
  if (keyCode >= 'A' && keyCode <= 'Z') return keyCode;
  if (keyCode >= '0' && keyCode <= '9') return keyCode;
  if (keyCode >= 112 && keyCode <= 135) return Qt::Key_F1 + (keyCode - 112);
  for (const auto& [qtKey, code] : kSpecialKeys) {
    if (code == keyCode) return qtKey;
  }
  return 0;
}

KeyPreview::KeyPreview(QWidget* window, Handler handler)
    : QObject(window), window_(window), handler_(std::move(handler)) {
  qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview() { qApp->removeEventFilter(this); }

void KeyPreview::SendKey(QWidget* window, int keyCode, int shift) {
  Qt::KeyboardModifiers mods;
  if (shift & 1) mods |= Qt::ShiftModifier;
  if (shift & 2) mods |= Qt::ControlModifier;
  if (shift & 4) mods |= Qt::AltModifier;
  QWidget* target = window->focusWidget() != nullptr ? window->focusWidget() : window;
  QKeyEvent press(QEvent::KeyPress, QtKeyOf(keyCode), mods);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, QtKeyOf(keyCode), mods);
  QApplication::sendEvent(target, &release);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != window_) return false;
  // A key press travels from the focused control up through its parents; the
  // window sees it once, when it reaches the control that has the focus.
  QWidget* focus = window_->focusWidget();
  if (focus != nullptr ? widget != focus : widget != window_) return false;
  auto* keyEvent = static_cast<QKeyEvent*>(event);
  int code = KeyCodeOf(*keyEvent);
  if (code == 0) return false;
  handler_(code, ShiftStateOf(*keyEvent));
  return code == 0;
}

}  // namespace typeloom::platform
