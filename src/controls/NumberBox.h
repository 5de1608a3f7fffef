#pragma once
// Numeric entry field: one text field that takes only what makes a number, shows
// the bare number while it has the focus and the number laid out by its mask
// otherwise.
#include "controls/NumberFormat.h"
#include "controls/PropertyStore.h"

#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLineEdit;

namespace typeloom::platform {
class Beeper;
class Clipboard;
}  // namespace typeloom::platform

namespace typeloom::controls {

class NumberBox : public QWidget {
  Q_OBJECT
 public:
  static constexpr const char* kDefaultFormat = "###,##0.00;(##,###.00)";
  static constexpr const char* kDefaultBackColor = "&H80000005&";  // window background
  static constexpr const char* kDefaultForeColor = "&H80000008&";  // window text
  static constexpr int kMinHeightTwips = 285;

  // host: the window's property store the setters mark (may be null). Without a
  // clipboard or beeper the desktop's own are used.
  explicit NumberBox(QWidget* parent = nullptr, PropertyStore* host = nullptr,
                     platform::Clipboard* clipboard = nullptr, platform::Beeper* beeper = nullptr);
  ~NumberBox() override;

  // Properties.
  // The number shown: the integer 0 for an empty field, else a double.
  QVariant value();
  void setValue(const QVariant& value);
  QString Format() const { return format_; }
  void SetFormat(const QString& format);
  int MaxLength() const { return maxLength_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool PositiveOnly() const { return positiveOnly_; }
  void SetPositiveOnly(bool on);
  QString BackColor() const { return backColor_; }
  // False, and nothing changed, when text is not a colour literal.
  bool SetBackColor(const QString& text);
  QString ForeColor() const { return foreColor_; }
  bool SetForeColor(const QString& text);
  bool Locked() const { return locked_; }
  void SetLocked(bool on);
  bool GotFocus() const { return hasFocus_; }

  // Methods.
  void FormatNumeric();
  void Refresh();
  // Puts the bare number up for overtyping: all of it selected.
  void Highlight();

  // Saved properties.
  void ReadProperties(const PropertyStore& store);
  void WriteProperties(PropertyStore& store) const;

  QLineEdit* txtNumber() const { return txtNumber_; }

  // Events.
  std::function<void()> Change;
  std::function<void(int& keyAscii)> KeyPress;
  std::function<void(int& keyCode, int& shift)> KeyUp;
  std::function<void(int& button, int& shift, float& x, float& y)> MouseDown;
  std::function<void(int& button, int& shift, float& x, float& y)> MouseMove;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UnformatWorkText();
  void ApplyMaskToWorkText();
  void TextChanged();
  bool KeyDown(QKeyEvent* event);
  // The field as the typing filter sees it now.
  TypingState CurrentTypingState() const;
  // Inserts what the typing filter let through, over the selection (a beep first
  // when it refused a character as full).
  void Insert(const Inserted& accepted);
  void InsertFiltered(const QString& text);
  void FocusGained(Qt::FocusReason reason);
  void FocusLost();
  bool ApplyColor(const QString& text, bool background);
  void RaiseChange();
  void Mark(const char* key);

  QLineEdit* txtNumber_;
  PropertyStore* host_;
  std::unique_ptr<platform::Clipboard> ownClipboard_;
  std::unique_ptr<platform::Beeper> ownBeeper_;
  platform::Clipboard* clipboard_;
  platform::Beeper* beeper_;

  QString format_ = QString::fromLatin1(kDefaultFormat);
  int maxLength_ = 10;
  bool enabled_ = true;
  bool positiveOnly_ = false;
  QString backColor_ = QString::fromLatin1(kDefaultBackColor);
  QString foreColor_ = QString::fromLatin1(kDefaultForeColor);
  bool locked_ = false;
  bool hasFocus_ = false;
  QString workText_;
  QString activeMask_;
  bool isPositive_ = true;
  std::optional<QString> lastValue_;
  QVariant storedValue_ = QString();
};

}  // namespace typeloom::controls
