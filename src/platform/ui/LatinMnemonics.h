#pragma once
// Alt plus a letter key reaches the button or label that underlines that letter
// also on a layout without Latin letters: Qt finds a mnemonic only through a Latin
// layout among the active ones, so with Russian or Greek alone Alt+S would not
// reach "&Save". The key's place on a US keyboard gives the letter then.

namespace typeloom::platform {

// Installs the application-wide handler once; later calls do nothing.
void EnableLatinMnemonics();

}  // namespace typeloom::platform
