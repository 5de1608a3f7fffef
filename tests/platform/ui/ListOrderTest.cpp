// List order: names in printable ASCII are ordered without the collator only under
// locales where that gives the collator's own order; every other name and locale
// goes to the collator.
#include "platform/ui/ListOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

// The order as the collator alone gives it.
struct CollatorOrder {
  explicit CollatorOrder(const QLocale& locale) : collator(locale) {
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
  }
  bool operator()(const QString& a, const QString& b) const {
    const int c = collator.compare(a, b);
    return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
  }
  QCollator collator;
};

const char* const kLocales[] = {"en_US", "en_GB", "de_DE", "de_AT", "de_CH", "fr_FR", "fr_CA", "it_IT",
                                "nl_NL", "pt_BR", "pt_PT", "es_ES", "es_MX", "C",     "sv_SE", "da_DK",
                                "nb_NO", "fi_FI", "cs_CZ", "sk_SK", "lt_LT", "lv_LV", "et_EE", "tr_TR",
                                "hu_HU", "pl_PL", "hr_HR", "cy_GB", "ja_JP", "ru_RU", "sr_RS", "sr_Latn_RS"};

// Pieces that collations tailor (contractions, letters moved, dotted and dotless i)
// among plain ones, so that random names meet each tailoring often.
const char* const kPieces[] = {"a", "A", "b", "c",  "C",  "h",  "H",  "i",  "I",  "y",  "Y",  "j", "v",
                               "V", "w", "W", "z",  "Z",  "s",  "S",  "o",  "x",  "q",  " ",  "-", "_",
                               ".", "'", "0", "1",  "9",  "ch", "CH", "Ch", "aa", "Aa", "ll", "dz", "dzs",
                               "cs", "gy", "ij", "ss", "th", "ng", "rr", "nj", "lj", "dd", "ff", "ph"};

// Random names: mostly from the pieces above, some from any printable ASCII and,
// when asked, some from Latin letters beyond ASCII.
QStringList RandomNames(std::mt19937& random, int count, bool beyondAscii) {
  static const char16_t kBeyond[] = {u'\u00E9', u'\u00C5', u'\u00E5', u'\u00DF', u'\u0131', u'\u00F6', u'\u00F8', u'\u010D'};
  std::uniform_int_distribution<int> length(0, 7);
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<int> piece(0, static_cast<int>(std::size(kPieces)) - 1);
  std::uniform_int_distribution<int> printable(0x20, 0x7e);
  std::uniform_int_distribution<int> beyond(0, static_cast<int>(std::size(kBeyond)) - 1);
  QStringList names;
  for (int n = 0; n < count; ++n) {
    QString name;
    for (int i = length(random); i > 0; --i) {
      const int k = kind(random);
      if (k < 7) name += QLatin1String(kPieces[piece(random)]);
      else if (k < 9 || !beyondAscii) name += QChar(printable(random));
      else name += QChar(kBeyond[beyond(random)]);
    }
    names.push_back(name);
  }
  return names;
}

TEST(ListOrderTest, GivesTheCollatorsOrderUnderEveryLocale) {
  for (const char* name : kLocales) {
    SCOPED_TRACE(name);
    const QLocale locale{QString::fromLatin1(name)};
    const ListOrder order{locale};
    const CollatorOrder reference{locale};
    std::mt19937 random(20261209);
    for (const bool beyondAscii : {false, true}) {
      SCOPED_TRACE(beyondAscii ? "with letters beyond ASCII" : "printable ASCII");
      QStringList names = RandomNames(random, 1500, beyondAscii);
      QStringList expected = names;
      std::stable_sort(expected.begin(), expected.end(), reference);
      order.Sort(names);
      ASSERT_EQ(names, expected);
      // Pairwise, including neighbours that differ only in case or tailoring.
      for (qsizetype i = 0; i + 1 < expected.size(); i += 3) {
        const QString& a = expected[i];
        const QString& b = expected[(i * 7919 + 13) % expected.size()];
        ASSERT_EQ(order.Less(a, b), reference(a, b)) << a.toStdString() << " / " << b.toStdString();
        ASSERT_EQ(order.Less(b, a), reference(b, a)) << b.toStdString() << " / " << a.toStdString();
        ASSERT_EQ(order.Less(a, expected[i + 1]), reference(a, expected[i + 1]));
      }
    }
  }
}

TEST(ListOrderTest, OrdersAsciiItselfOnlyWhereTheLocaleLeavesItAlone) {
  const struct {
    const char* locale;
    bool itself;
  } cases[] = {
      {"en_US", true},  {"de_DE", true},  {"fr_FR", true},  {"fr_CA", true},  {"es_ES", true},
      {"C", false},     {"sv_SE", false}, {"da_DK", false}, {"cs_CZ", false}, {"lt_LT", false},
      {"tr_TR", false}, {"hu_HU", false}, {"ja_JP", false}, {"sr_RS", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(ListOrder{QLocale(QString::fromLatin1(c.locale))}.OrdersAsciiItself(), c.itself);
  }
}

TEST(ListOrderTest, NamedPairsInOrder) {
  // Each pair in list order under its locale; tailored pairs are the reverse of the
  // common order.
  const struct {
    const char* locale;
    QString first;
    QString second;
  } cases[] = {
      {"en_US", "", " "},
      {"en_US", "Noto Sans", "Noto Sans Mono"},
      {"en_US", "Noto Sans Mono", "Noto Sans-Bold"},
      {"en_US", "Family 10", "Family 9"},
      {"en_US", "ALPHA serif", "Alpha Serif"},
      {"en_US", "Alpha Serif", "alpha Serif"},
      {"en_US", "alpha Serif", "Azur"},
      {"en_US", "_x", "-x"},
      {"en_US", "$5", "0"},
      {"en_US", "9", "a"},
      {"en_US", "Etoile", QString::fromUtf8("\u00C9toile")},
      {"en_US", QString::fromUtf8("\u00C9toile"), "Etoilf"},
      {"de_DE", "Zeta", "zeta"},
      {"lt_LT", "yz", "j"},
      {"cs_CZ", "hz", "ch"},
      {"da_DK", "z", "aa"},
      {"tr_TR", "Ib", "ia"},
      {"hu_HU", "cz", "csa"},
      {"C", "z", "{"},
      {"en_US", "{", "z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + ": " + c.first.toStdString() + " < " + c.second.toStdString());
    const ListOrder order{QLocale(QString::fromLatin1(c.locale))};
    EXPECT_TRUE(order.Less(c.first, c.second));
    EXPECT_FALSE(order.Less(c.second, c.first));
    QStringList items{c.second, c.first};
    order.Sort(items);
    EXPECT_EQ(items, (QStringList{c.first, c.second}));
  }
}

}  // namespace
}  // namespace typeloom::platform
