#include "controls/NumberBox.h"

#include "controls/NumberFormat.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/WindowServices.h"

#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

namespace typeloom::controls {
namespace {

// A number in its plain form: "." as decimal point, no separators, no exponent.
QString PlainText(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
      return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
      return QLocale::c().toString(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    default:
      return value.toString();
  }
}

int ButtonsOf(Qt::MouseButtons buttons) {
  return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) | (buttons.testFlag(Qt::RightButton) ? 2 : 0) |
         (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
}

}  // namespace

NumberBox::NumberBox(QWidget* parent, PropertyStore* host, platform::Clipboard* clipboard, platform::Beeper* beeper)
    : QWidget(parent), txtNumber_(new QLineEdit(this)), host_(host) {
  if (clipboard == nullptr) {
    ownClipboard_ = std::make_unique<platform::QtClipboard>();
    clipboard = ownClipboard_.get();
  }
  if (beeper == nullptr) {
    ownBeeper_ = std::make_unique<platform::QtBeeper>();
    beeper = ownBeeper_.get();
  }
  clipboard_ = clipboard;
  beeper_ = beeper;
  // Right-aligned and sunken before the first focus, as after it. The field's own
  // clipboard menu and dragging out are off; text that comes in by a key, an input
  // method, the middle button or a drop goes through the typing filter.
  txtNumber_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  txtNumber_->setFrame(true);
  txtNumber_->setContextMenuPolicy(Qt::NoContextMenu);
  txtNumber_->setDragEnabled(false);
  txtNumber_->setAcceptDrops(true);
  txtNumber_->setInputMethodHints(Qt::ImhFormattedNumbersOnly | Qt::ImhNoPredictiveText);
  txtNumber_->installEventFilter(this);
  setFocusProxy(txtNumber_);
  connect(txtNumber_, &QLineEdit::textChanged, this, [this] { TextChanged(); });
}

NumberBox::~NumberBox() = default;

void NumberBox::Mark(const char* key) {
  if (host_ != nullptr) host_->MarkChanged(QString::fromLatin1(key));
}

void NumberBox::RaiseChange() {
  if (Change) Change();
}

void NumberBox::UnformatWorkText() {
  const BareNumber bare = controls::UnformatNumeric(workText_, positiveOnly_);
  workText_ = bare.text;
  isPositive_ = bare.isPositive;
}

void NumberBox::ApplyMaskToWorkText() {
  const MaskedNumber shown = controls::ApplyFormatMask(workText_, isPositive_, format_, positiveOnly_);
  workText_ = shown.text;
  activeMask_ = shown.activeMask;
}

QVariant NumberBox::value() {
  workText_ = txtNumber_->text();
  UnformatWorkText();
  if (workText_.isEmpty()) return QVariant(0);
  return QVariant(ReadNumber(workText_));
}

void NumberBox::setValue(const QVariant& value) {
  workText_ = PlainText(value);
  UnformatWorkText();
  ApplyMaskToWorkText();
  lastValue_ = workText_;
  txtNumber_->setText(workText_);
  RaiseChange();
  storedValue_ = value;
  Mark("Value");
}

void NumberBox::SetFormat(const QString& format) {
  format_ = format;
  maxLength_ = CalcMaxLength(format_);
  Mark("Format");
}

void NumberBox::SetEnabled(bool on) {
  enabled_ = on;
  txtNumber_->setEnabled(on);
  Mark("Enabled");
}

void NumberBox::SetPositiveOnly(bool on) {
  positiveOnly_ = on;
  Mark("PositiveOnly");
}

bool NumberBox::ApplyColor(const QString& text, bool background) {
  const std::optional<std::uint32_t> color = ColorLiteral(text);
  if (!color) return false;
  QPalette palette = txtNumber_->palette();
  const QColor qcolor = platform::ColorOf(*color);
  if (background) {
    palette.setColor(QPalette::Base, qcolor);
  } else {
    palette.setColor(QPalette::Text, qcolor);
  }
  txtNumber_->setPalette(palette);
  return true;
}

bool NumberBox::SetBackColor(const QString& text) {
  if (!ApplyColor(text, true)) return false;
  backColor_ = text;
  Mark("BackColor");
  return true;
}

bool NumberBox::SetForeColor(const QString& text) {
  if (!ApplyColor(text, false)) return false;
  foreColor_ = text;
  Mark("ForeColor");
  return true;
}

void NumberBox::SetLocked(bool on) {
  locked_ = on;
  txtNumber_->setReadOnly(on);
  Mark("Locked");
}

void NumberBox::FormatNumeric() {
  UnformatWorkText();
  ApplyMaskToWorkText();
  txtNumber_->setText(workText_);
}

void NumberBox::Refresh() { txtNumber_->update(); }

void NumberBox::Highlight() {
  workText_ = txtNumber_->text();
  UnformatWorkText();
  txtNumber_->setText(workText_);
  txtNumber_->setSelection(0, static_cast<int>(txtNumber_->text().size()));
  RaiseChange();
}

void NumberBox::ReadProperties(const PropertyStore& store) {
  format_ = store.Read("Format", QString::fromLatin1(kDefaultFormat)).toString();
  maxLength_ = CalcMaxLength(format_);
  enabled_ = store.Read("Enabled", true).toBool();
  txtNumber_->setEnabled(enabled_);
  positiveOnly_ = store.Read("PositiveOnly", false).toBool();
  // A colour that is no colour literal leaves the one before.
  const QString back = store.Read("BackColor", QString::fromLatin1(kDefaultBackColor)).toString();
  if (ApplyColor(back, true)) backColor_ = back;
  const QString fore = store.Read("ForeColor", QString::fromLatin1(kDefaultForeColor)).toString();
  if (ApplyColor(fore, false)) foreColor_ = fore;
  storedValue_ = store.Read("Value", QString());
  locked_ = store.Read("Locked", false).toBool();
  txtNumber_->setReadOnly(locked_);
  workText_ = PlainText(storedValue_);
  FormatNumeric();
}

void NumberBox::WriteProperties(PropertyStore& store) const {
  store.Write("Value", storedValue_);
  store.Write("Format", format_);
  store.Write("Enabled", enabled_);
  store.Write("PositiveOnly", positiveOnly_);
  store.Write("BackColor", backColor_);
  store.Write("ForeColor", foreColor_);
  store.Write("Locked", locked_);
}

void NumberBox::TextChanged() {
  const QString text = txtNumber_->text();
  if (text == QLatin1StringView("txtNumber")) return;
  workText_ = text;
  UnformatWorkText();
  if (lastValue_ && workText_ == *lastValue_) return;
  const double before = lastValue_ ? ReadNumber(*lastValue_) : 0.0;
  lastValue_ = workText_;
  if (ReadNumber(workText_) != before) RaiseChange();
}

bool NumberBox::KeyDown(QKeyEvent* event) {
  const int code = platform::KeyCodeOf(*event);
  const int shift = platform::ShiftStateOf(*event);
  if (shift == 2) {
    // A locked field gives its text to the clipboard but takes nothing from it.
    if (code == 67) {
      clipboard_->SetText(txtNumber_->text());
    } else if (code == 86 && !locked_) {
      txtNumber_->setText(clipboard_->Text());
      ApplyMaskToWorkText();
      txtNumber_->setText(workText_);
      txtNumber_->selectAll();
    } else if (code == 88) {
      clipboard_->SetText(txtNumber_->text());
      if (!locked_) txtNumber_->clear();
    }
  }
  if (KeyPress) {
    int keyAscii = code;
    KeyPress(keyAscii);
  }

  // The field's own editing shortcuts never act.
  static constexpr QKeySequence::StandardKey kShortcuts[] = {
      QKeySequence::Copy, QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
      QKeySequence::SelectAll};
  for (const QKeySequence::StandardKey key : kShortcuts) {
    if (event->matches(key)) return true;
  }
  const Qt::KeyboardModifiers mods = event->modifiers();
  const int key = event->key();
  if (mods.testFlag(Qt::ControlModifier) || mods.testFlag(Qt::MetaModifier)) {
    // Control characters are refused; Ctrl with a moving key still moves.
    return !event->text().isEmpty() || (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde);
  }
  // Backspace and Delete delete, each on its side of the caret (X11 gives Delete the
  // text "\x7f").
  if (key == Qt::Key_Backspace || key == Qt::Key_Delete) return locked_;
  // Keys that insert nothing pass on: moving, and the window's own keys.
  if (event->text().isEmpty() || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
      key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    return false;
  }
  const QString typed = event->text();
  const Inserted accepted = FilterInserted(typed, CurrentTypingState());
  // All of it passes: the field inserts it itself.
  if (accepted.text == typed) return false;
  Insert(accepted);
  return true;
}

TypingState NumberBox::CurrentTypingState() const {
  TypingState state;
  state.locked = locked_;
  state.textLength = txtNumber_->text().size();
  state.selectionStart = txtNumber_->hasSelectedText() ? txtNumber_->selectionStart() : txtNumber_->cursorPosition();
  state.selectionLength = txtNumber_->selectedText().size();
  state.maxLength = maxLength_;
  state.positiveOnly = positiveOnly_;
  state.formatHasPoint = format_.contains(u'.');
  state.textHasPoint = txtNumber_->text().contains(u'.');
  return state;
}

void NumberBox::Insert(const Inserted& accepted) {
  if (accepted.beep) beeper_->Beep();
  if (!accepted.text.isEmpty()) txtNumber_->insert(accepted.text);
}

void NumberBox::InsertFiltered(const QString& text) { Insert(FilterInserted(text, CurrentTypingState())); }

void NumberBox::FocusGained(Qt::FocusReason reason) {
  hasFocus_ = true;
  if (locked_) {
    txtNumber_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return;
  }
  txtNumber_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  workText_ = txtNumber_->text();
  UnformatWorkText();
  lastValue_ = workText_;
  txtNumber_->setText(workText_);
  txtNumber_->selectAll();
  // A click that gave the focus places the caret after this: select again once it
  // has been handled.
  if (reason == Qt::MouseFocusReason) {
    QTimer::singleShot(0, this, [field = QPointer<QLineEdit>(txtNumber_), this] {
      if (field && hasFocus_) field->selectAll();
    });
  }
  txtNumber_->setFrame(true);
}

void NumberBox::FocusLost() {
  hasFocus_ = false;
  if (locked_) return;
  workText_ = txtNumber_->text();
  FormatNumeric();
  txtNumber_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

bool NumberBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched != txtNumber_) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress:
      return KeyDown(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease: {
      if (KeyUp) {
        auto* key = static_cast<QKeyEvent*>(event);
        int code = platform::KeyCodeOf(*key);
        int shift = platform::ShiftStateOf(*key);
        KeyUp(code, shift);
      }
      return false;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      // Switching windows or opening a popup is not a focus change of the field.
      const auto* focus = static_cast<QFocusEvent*>(event);
      if (focus->reason() == Qt::ActiveWindowFocusReason || focus->reason() == Qt::PopupFocusReason) return false;
      if (event->type() == QEvent::FocusIn) FocusGained(focus->reason());
      else FocusLost();
      return false;
    }
    case QEvent::InputMethod: {
      // An input method's commit is typed text; what it is still composing is not
      // shown.
      InsertFiltered(static_cast<QInputMethodEvent*>(event)->commitString());
      return true;
    }
    case QEvent::MouseButtonRelease: {
      // The middle button pastes the desktop's selection where it was pressed.
      if (static_cast<QMouseEvent*>(event)->button() != Qt::MiddleButton) return false;
      txtNumber_->deselect();
      InsertFiltered(clipboard_->SelectionText());
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      if (locked_ || !drop->mimeData()->hasText()) return false;
      txtNumber_->deselect();
      txtNumber_->setCursorPosition(txtNumber_->cursorPositionAt(drop->position().toPoint()));
      InsertFiltered(drop->mimeData()->text());
      drop->acceptProposedAction();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove: {
      auto& handler = event->type() == QEvent::MouseButtonPress ? MouseDown : MouseMove;
      if (handler) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        int button = ButtonsOf(event->type() == QEvent::MouseButtonPress ? Qt::MouseButtons(mouse->button())
                                                                          : mouse->buttons());
        int shift = (mouse->modifiers().testFlag(Qt::ShiftModifier) ? 1 : 0) |
                    (mouse->modifiers().testFlag(Qt::ControlModifier) ? 2 : 0) |
                    (mouse->modifiers().testFlag(Qt::AltModifier) ? 4 : 0);
        float x = static_cast<float>(platform::PixelsToTwipsX(static_cast<int>(mouse->position().x())));
        float y = static_cast<float>(platform::PixelsToTwipsY(static_cast<int>(mouse->position().y())));
        handler(button, shift, x, y);
      }
      return false;
    }
    default:
      return false;
  }
}

void NumberBox::resizeEvent(QResizeEvent* /*event*/) {
  const int minHeight = platform::TwipsToPixelsY(kMinHeightTwips);
  if (height() < minHeight) {
    resize(width(), minHeight);
    return;
  }
  txtNumber_->setGeometry(0, 0, width(), height());
}

}  // namespace typeloom::controls
