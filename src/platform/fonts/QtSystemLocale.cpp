#include "platform/fonts/SystemLocale.h"

#include <QLocale>

#include <array>

namespace typeloom::platform {

namespace {

using L = QLocale::Language;
using T = QLocale::Territory;

struct LanguageId {
  L language;
  std::uint32_t lcid;  // the language's main locale
};

// Main locale of each language.
constexpr std::array kLanguages = {
    LanguageId{L::English, 0x0409},    LanguageId{L::German, 0x0407},     LanguageId{L::French, 0x040C},
    LanguageId{L::Italian, 0x0410},    LanguageId{L::Spanish, 0x0C0A},    LanguageId{L::Portuguese, 0x0416},
    LanguageId{L::Dutch, 0x0413},      LanguageId{L::Danish, 0x0406},     LanguageId{L::Swedish, 0x041D},
    LanguageId{L::NorwegianBokmal, 0x0414}, LanguageId{L::NorwegianNynorsk, 0x0814},
    LanguageId{L::Finnish, 0x040B},    LanguageId{L::Icelandic, 0x040F},  LanguageId{L::Irish, 0x083C},
    LanguageId{L::Catalan, 0x0403},    LanguageId{L::Basque, 0x042D},     LanguageId{L::Galician, 0x0456},
    LanguageId{L::Welsh, 0x0452},      LanguageId{L::Luxembourgish, 0x046E}, LanguageId{L::Maltese, 0x043A},
    LanguageId{L::Polish, 0x0415},     LanguageId{L::Czech, 0x0405},      LanguageId{L::Slovak, 0x041B},
    LanguageId{L::Hungarian, 0x040E},  LanguageId{L::Slovenian, 0x0424},  LanguageId{L::Croatian, 0x041A},
    LanguageId{L::Bosnian, 0x141A},    LanguageId{L::Serbian, 0x241A},    LanguageId{L::Romanian, 0x0418},
    LanguageId{L::Albanian, 0x041C},   LanguageId{L::Estonian, 0x0425},   LanguageId{L::Latvian, 0x0426},
    LanguageId{L::Lithuanian, 0x0427}, LanguageId{L::Russian, 0x0419},    LanguageId{L::Ukrainian, 0x0422},
    LanguageId{L::Belarusian, 0x0423}, LanguageId{L::Bulgarian, 0x0402},  LanguageId{L::Macedonian, 0x042F},
    LanguageId{L::Kazakh, 0x043F},     LanguageId{L::Kyrgyz, 0x0440},     LanguageId{L::Mongolian, 0x0450},
    LanguageId{L::Tatar, 0x0444},      LanguageId{L::Uzbek, 0x0443},      LanguageId{L::Azerbaijani, 0x042C},
    LanguageId{L::Georgian, 0x0437},   LanguageId{L::Armenian, 0x042B},   LanguageId{L::Greek, 0x0408},
    LanguageId{L::Turkish, 0x041F},    LanguageId{L::Arabic, 0x0401},     LanguageId{L::Hebrew, 0x040D},
    LanguageId{L::Persian, 0x0429},    LanguageId{L::Urdu, 0x0420},       LanguageId{L::Chinese, 0x0804},
    LanguageId{L::Japanese, 0x0411},   LanguageId{L::Korean, 0x0412},     LanguageId{L::Thai, 0x041E},
    LanguageId{L::Vietnamese, 0x042A}, LanguageId{L::Khmer, 0x0453},      LanguageId{L::Lao, 0x0454},
    LanguageId{L::Indonesian, 0x0421}, LanguageId{L::Malay, 0x043E},      LanguageId{L::Filipino, 0x0464},
    LanguageId{L::Hindi, 0x0439},      LanguageId{L::Bengali, 0x0445},    LanguageId{L::Punjabi, 0x0446},
    LanguageId{L::Gujarati, 0x0447},   LanguageId{L::Oriya, 0x0448},      LanguageId{L::Tamil, 0x0449},
    LanguageId{L::Telugu, 0x044A},     LanguageId{L::Kannada, 0x044B},    LanguageId{L::Malayalam, 0x044C},
    LanguageId{L::Marathi, 0x044E},    LanguageId{L::Sanskrit, 0x044F},   LanguageId{L::Nepali, 0x0461},
    LanguageId{L::Sinhala, 0x045B},    LanguageId{L::Assamese, 0x044D},   LanguageId{L::Afrikaans, 0x0436},
    LanguageId{L::Swahili, 0x0441},    LanguageId{L::Amharic, 0x045E},    LanguageId{L::Tibetan, 0x0451},
};

struct TerritoryId {
  L language;
  T territory;
  std::uint32_t lcid;
};

// Countries whose names differ from the language's main locale.
constexpr std::array kTerritories = {
    TerritoryId{L::English, T::UnitedKingdom, 0x0809}, TerritoryId{L::English, T::Australia, 0x0C09},
    TerritoryId{L::English, T::Canada, 0x1009},        TerritoryId{L::English, T::NewZealand, 0x1409},
    TerritoryId{L::English, T::Ireland, 0x1809},       TerritoryId{L::English, T::SouthAfrica, 0x1C09},
    TerritoryId{L::English, T::India, 0x4009},         TerritoryId{L::English, T::Singapore, 0x4809},
    TerritoryId{L::German, T::Switzerland, 0x0807},    TerritoryId{L::German, T::Austria, 0x0C07},
    TerritoryId{L::German, T::Luxembourg, 0x1007},     TerritoryId{L::German, T::Liechtenstein, 0x1407},
    TerritoryId{L::French, T::Belgium, 0x080C},        TerritoryId{L::French, T::Canada, 0x0C0C},
    TerritoryId{L::French, T::Switzerland, 0x100C},    TerritoryId{L::French, T::Luxembourg, 0x140C},
    TerritoryId{L::Italian, T::Switzerland, 0x0810},   TerritoryId{L::Dutch, T::Belgium, 0x0813},
    TerritoryId{L::Portuguese, T::Portugal, 0x0816},   TerritoryId{L::Swedish, T::Finland, 0x081D},
    TerritoryId{L::Spanish, T::Mexico, 0x080A},        TerritoryId{L::Spanish, T::Argentina, 0x2C0A},
    TerritoryId{L::Spanish, T::Colombia, 0x240A},      TerritoryId{L::Spanish, T::Chile, 0x340A},
    TerritoryId{L::Spanish, T::UnitedStates, 0x540A},  TerritoryId{L::Arabic, T::Egypt, 0x0C01},
    TerritoryId{L::Arabic, T::Morocco, 0x1801},        TerritoryId{L::Arabic, T::UnitedArabEmirates, 0x3801},
    TerritoryId{L::Chinese, T::Taiwan, 0x0404},        TerritoryId{L::Chinese, T::HongKong, 0x0C04},
    TerritoryId{L::Chinese, T::Macau, 0x1404},         TerritoryId{L::Chinese, T::Singapore, 0x1004},
    TerritoryId{L::Malay, T::Brunei, 0x083E},          TerritoryId{L::Bengali, T::Bangladesh, 0x0845},
    TerritoryId{L::Tamil, T::SriLanka, 0x0849},        TerritoryId{L::Urdu, T::India, 0x0820},
    TerritoryId{L::Romanian, T::Moldova, 0x0818},      TerritoryId{L::Russian, T::Moldova, 0x0819},
};

}  // namespace

std::uint32_t LcidFromLocale(const QLocale& locale) {
  const L language = locale.language();
  const T territory = locale.territory();
  const QLocale::Script script = locale.script();

  // Scripts that change the locale id within one country.
  if (language == L::Serbian) return script == QLocale::LatinScript ? 0x241A : 0x281A;
  if (language == L::Bosnian && script == QLocale::CyrillicScript) return 0x201A;
  if (language == L::Uzbek && script == QLocale::CyrillicScript) return 0x0843;
  if (language == L::Azerbaijani && script == QLocale::CyrillicScript) return 0x082C;
  if (language == L::Chinese && script == QLocale::TraditionalChineseScript && territory != T::HongKong &&
      territory != T::Macau) {
    return 0x0404;
  }
  if (language == L::Punjabi && script == QLocale::ArabicScript) return 0x0846;  // Punjabi of Pakistan

  for (const auto& t : kTerritories) {
    if (t.language == language && t.territory == territory) return t.lcid;
  }
  for (const auto& l : kLanguages) {
    if (l.language == language) return l.lcid;
  }
  return 0x0409;
}

std::uint32_t QtSystemLocale::DefaultLcid() { return LcidFromLocale(QLocale::system()); }

}  // namespace typeloom::platform
