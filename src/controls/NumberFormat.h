#pragma once
// The text functions of the numeric entry field: reading a number, stripping a
// shown number to its bare digits, the typing limit of a mask and laying a bare
// number out by a mask. No widget involved.
//
// A mask has one section, or a section for zero and positive numbers and one for
// negative numbers separated by the first ";". In a section "0" and "#" are digit
// places ("0" shows 0 when no digit falls on it, "#" a space), the first "." is the
// decimal point, "," shows only after a digit, "(" and "-" are sign marks and
// everything else shows as itself.
#include <QString>

#include <cstdint>
#include <optional>

namespace typeloom::controls {

// Reads a number: blanks are skipped wherever they stand, then an optional sign,
// then digits with at most one "."; reading stops at the first other character.
// No digits read give 0. "1,234.00" reads as 1, "(5.00)" as 0.
double ReadNumber(const QString& text);

struct BareNumber {
  QString text;     // an optional leading "-", digits, at most one "."
  bool isPositive;  // the number is zero or positive
};
// Keeps the digits and the first "."; a "-" or "(" in first place makes the
// number negative. With positiveOnly a negative number loses its sign.
BareNumber UnformatNumeric(const QString& text, bool positiveOnly);

// The typing limit of a mask: the longer section's length, a negative section's
// closing ")" not counted.
int CalcMaxLength(const QString& format);

struct MaskedNumber {
  QString text;        // the shown text
  QString activeMask;  // the mask section used
};
// Lays the bare number out by format. Surplus fraction digits are dropped without
// rounding, integer digits beyond the mask's places are dropped from the left.
MaskedNumber ApplyFormatMask(const QString& bare, bool isPositive, const QString& format, bool positiveOnly);

// What the typing filter does with one typed character.
enum class Typed { Accept, Refuse, RefuseWithBeep };
struct TypingState {
  bool locked = false;
  qsizetype textLength = 0;
  qsizetype selectionStart = 0;
  qsizetype selectionLength = 0;
  int maxLength = 0;
  bool positiveOnly = false;
  bool formatHasPoint = false;
  bool textHasPoint = false;
};
// Digits, Backspace, one "." where the mask has one and a leading "-" where
// negatives are allowed; all else is refused. A full field (MaxLength reached and
// not all of it selected) refuses digits, "." and "-" with a beep.
Typed FilterTyped(char16_t character, const TypingState& state);

// Text that enters the field in one piece (a typed key's text, an input method's
// commit, a paste, a drop): each character goes through the typing filter as if
// typed one after another at the caret, the first one replacing the selection.
// Control characters are never inserted. beep: a character was refused as full.
struct Inserted {
  QString text;
  bool beep = false;
};
Inserted FilterInserted(const QString& text, TypingState state);

// A colour literal: "&H" and hexadecimal digits (up to 8), or a decimal integer,
// optionally ended by one "&". Nothing for any other text.
std::optional<std::uint32_t> ColorLiteral(const QString& text);

}  // namespace typeloom::controls
