#include "controls/NumberFormat.h"

namespace typeloom::controls {
namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsPlace(QChar c) { return c == u'0' || c == u'#'; }

QString TrimSpaces(const QString& text) {
  qsizetype from = 0;
  qsizetype to = text.size();
  while (from < to && text[from] == u' ') ++from;
  while (to > from && text[to - 1] == u' ') --to;
  return text.mid(from, to - from);
}

}  // namespace

double ReadNumber(const QString& text) {
  QString kept;
  bool sign = false, point = false;
  for (const QChar c : text) {
    if (IsBlank(c)) continue;
    if (kept.isEmpty() && !sign && (c == u'-' || c == u'+')) {
      sign = true;
      if (c == u'-') kept += c;
      continue;
    }
    if (IsDigit(c)) {
      kept += c;
    } else if (c == u'.' && !point) {
      point = true;
      kept += c;
    } else {
      break;
    }
  }
  bool ok = false;
  const double value = kept.toDouble(&ok);
  return ok ? value : 0.0;
}

BareNumber UnformatNumeric(const QString& text, bool positiveOnly) {
  const QString trimmed = TrimSpaces(text);
  QString r;
  bool point = false;
  for (qsizetype i = 0; i < trimmed.size(); ++i) {
    const QChar c = trimmed[i];
    if (IsDigit(c)) {
      r += c;
    } else if (c == u'.') {
      if (!point) r += c;
      point = true;
    } else if ((c == u'-' || c == u'(') && i == 0) {
      r = QStringLiteral("-");
    }
  }
  if (ReadNumber(r) >= 0) return {r, true};
  if (positiveOnly) return {r.mid(1), true};
  return {r, false};
}

int CalcMaxLength(const QString& format) {
  const qsizetype semi = format.indexOf(u';');
  if (semi < 0) return static_cast<int>(format.size());
  const QString p = format.left(semi);
  const QString q = format.mid(semi + 1);
  if (p.size() >= q.size()) return static_cast<int>(p.size());
  return static_cast<int>(q.endsWith(u')') ? q.size() - 1 : q.size());
}

MaskedNumber ApplyFormatMask(const QString& bare, bool isPositive, const QString& format, bool positiveOnly) {
  // Positions below count from 1, as in the mask's own description.
  QString s = bare;
  const qsizetype semi = format.indexOf(u';');
  QString mask = semi < 0 ? format : (isPositive ? format.left(semi) : format.mid(semi + 1));
  if (!positiveOnly && !isPositive && !format.contains(u'(') && !format.contains(u'-')) mask.prepend(u'-');
  const QString active = mask;
  QString o = mask;
  auto at = [](const QString& t, qsizetype pos) { return t[pos - 1]; };

  qsizetype d = o.indexOf(u'.') + 1;
  if (d > 1 && d == o.size()) {
    o.chop(1);
    d = 0;
  }
  qsizetype f = s.indexOf(u'.') + 1;
  if (f > 1 && f == s.size()) {
    s.chop(1);
    f = 0;
  }

  // Fraction digits, left to right into the places after the point.
  if (d > 0 && f > 0) {
    qsizetype j = d + 1;
    for (qsizetype i = f + 1; i <= s.size(); ++i) {
      while (j <= o.size() && !IsPlace(at(o, j))) ++j;
      if (j > o.size()) break;
      o[j - 1] = at(s, i);
      ++j;
    }
  }

  // Integer digits, right to left.
  qsizetype g = d > 0 ? d - 1 : o.size();
  qsizetype h = f > 0 ? f - 1 : s.size();
  while (g > 0 && h > 0) {
    if (at(s, h) == u'-') {
      --h;
      if (h == 0) break;
    }
    if (IsPlace(at(o, g))) {
      o[g - 1] = at(s, h);
      --h;
    }
    --g;
  }

  // Zeros that only fill "#" places before the first significant digit go.
  for (qsizetype m = 1; m <= o.size(); ++m) {
    const QChar c = at(o, m);
    if ((c >= u'1' && c <= u'9') || c == u'.') break;
    if (c == u'0' && m <= active.size() && at(active, m) == u'#') o[m - 1] = u'#';
  }

  // Empty places and separators with nothing to their left become blanks.
  for (qsizetype i = 1; i <= o.size(); ++i) {
    QChar c = at(o, i);
    if (c == u',' && (i == 1 || at(o, i - 1) == u'-' || at(o, i - 1) == u'(' || at(o, i - 1) == u' ')) c = u'#';
    if (c == u'#') o[i - 1] = u' ';
  }
  o = TrimSpaces(o);

  // The sign mark is followed directly by the number.
  qsizetype t = o.indexOf(u'(') + 1;
  if (t == 0) t = o.indexOf(u'-') + 1;
  if (t > 0 && t < o.size()) {
    qsizetype k = 0;
    while (t + k < o.size() && o[t + k] == u' ') ++k;
    if (k > 0) o.remove(t, k);
  }
  return {o, active};
}

Typed FilterTyped(char16_t k, const TypingState& st) {
  if (st.locked) return Typed::Refuse;
  const bool full = st.selectionLength < st.textLength && st.textLength >= st.maxLength && st.maxLength != 0;
  if (k >= u'0' && k <= u'9') return full ? Typed::RefuseWithBeep : Typed::Accept;
  if (k == 8) return Typed::Accept;
  if (k == u'.') {
    if (full) return Typed::RefuseWithBeep;
    if (!st.formatHasPoint) return Typed::Refuse;
    if (st.selectionLength < st.textLength && st.textHasPoint) return Typed::Refuse;
    return Typed::Accept;
  }
  if (k == u'-') {
    if (full) return Typed::RefuseWithBeep;
    if (st.positiveOnly || st.selectionStart > 0) return Typed::Refuse;
    return Typed::Accept;
  }
  return Typed::Refuse;
}

Inserted FilterInserted(const QString& text, TypingState state) {
  Inserted result;
  for (const QChar c : text) {
    const char16_t k = c.unicode();
    if (k < 32 || k == 127) continue;
    const Typed typed = FilterTyped(k, state);
    if (typed == Typed::RefuseWithBeep) result.beep = true;
    if (typed != Typed::Accept) continue;
    result.text += c;
    // Text that was all selected is gone now, its point with it.
    if (state.selectionLength >= state.textLength) state.textHasPoint = false;
    state.textLength = state.textLength - state.selectionLength + 1;
    state.selectionStart += 1;
    state.selectionLength = 0;
    if (k == u'.') state.textHasPoint = true;
  }
  return result;
}

std::optional<std::uint32_t> ColorLiteral(const QString& text) {
  QString t = text;
  if (t.endsWith(u'&')) t.chop(1);
  bool ok = false;
  if (t.startsWith(QStringLiteral("&H"), Qt::CaseInsensitive)) {
    const QString digits = t.mid(2);
    if (digits.isEmpty() || digits.size() > 8) return std::nullopt;
    const std::uint32_t value = digits.toUInt(&ok, 16);
    if (!ok) return std::nullopt;
    return value;
  }
  const qint64 value = t.trimmed().toLongLong(&ok, 10);
  if (!ok || value < INT32_MIN || value > static_cast<qint64>(UINT32_MAX)) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace typeloom::controls
