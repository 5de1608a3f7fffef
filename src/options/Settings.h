#pragma once
// Every key of the settings store, with its default: the one table that readers and
// writers use. All keys are in section "Settings" of the application "Typeloom";
// yes/no keys hold "1" or "0".
#include <QString>

namespace typeloom::platform {
class SettingsStore;
}

namespace typeloom::settings {

inline constexpr char kApplication[] = "Typeloom";
inline constexpr char kSection[] = "Settings";

struct Key {
  const char* name;
  const char* defaultValue;
};

inline constexpr Key kShowSplash{"ShowSplash", "1"};
inline constexpr Key kDefaultViewer{"DefaultViewer", "0"};
inline constexpr Key kDefaultPrinter{"DefaultPrinter", "0"};
inline constexpr Key kCommandLine{"CommandLine", ""};
inline constexpr Key kPriorViewAssociation{"PriorViewAssociation", ""};
inline constexpr Key kPriorPrintAssociation{"PriorPrintAssociation", ""};

inline constexpr Key kAllKeys[] = {kShowSplash,   kDefaultViewer,       kDefaultPrinter,
                                   kCommandLine,  kPriorViewAssociation, kPriorPrintAssociation};

// The stored text, or the key's default when absent.
QString Read(platform::SettingsStore& store, const Key& key);
void Write(platform::SettingsStore& store, const Key& key, const QString& text);
// A yes/no key: the stored text, read as a number, equals 1. Text that is no number is no.
bool IsOne(platform::SettingsStore& store, const Key& key);

}  // namespace typeloom::settings
