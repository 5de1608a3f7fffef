#pragma once
// The user's locale as a Windows locale id, whose low 16 bits are the language ids
// that font name tables carry (0x0409 US English, 0x0407 German, 0x0411 Japanese...).
#include <cstdint>

class QLocale;

namespace typeloom::platform {

class SystemLocale {
 public:
  virtual ~SystemLocale() = default;
  virtual std::uint32_t DefaultLcid() = 0;
};

// QLocale::system() (LC_ALL, LC_MESSAGES, LANG) mapped to a locale id.
class QtSystemLocale final : public SystemLocale {
 public:
  std::uint32_t DefaultLcid() override;
};

// The locale id of a QLocale: the language and, where name tables tell them apart,
// its country or script. A language without an id gives 0x0409; so does "C".
std::uint32_t LcidFromLocale(const QLocale& locale);

}  // namespace typeloom::platform
