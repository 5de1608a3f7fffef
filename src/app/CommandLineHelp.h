#pragma once

// The command line as the user reads about it: one table of forms, exit statuses,
// environment variables, files and examples. `--help` and the manual page
// typeloom.1 are both written from it (HelpText, ManualPage), so they cannot tell
// different stories. A new form is one more row of kForms.
//
// Texts are plain: `--word` tokens are set in bold and upper-case argument names
// (FONT-FILE) in italics on the manual page; everything else is escaped.

#include <cstddef>
#include <string>
#include <string_view>

namespace typeloom::app::cli {

struct Form {
  std::string_view arguments;  // what follows "typeloom"; empty for a plain start
  std::string_view alias;      // another spelling of the same option, or empty
  std::string_view summary;    // one sentence: the --help line and the manual's first
  std::string_view more;       // the manual's further sentences, or empty
};

inline constexpr Form kForms[] = {
    {"", "", "Start the viewer; the first font of the list is selected.", ""},
    {"FONT-FILE", "",
     "Select the installed font of FONT-FILE; a font file that is not installed is shown from the file.",
     "Such a file is added for this run only and listed as its face name followed by its file name in "
     "brackets; its details say \"Installed: False\". "
     "When Typeloom already runs, the request goes to the running window."},
    {"/p FONT-FILE", "", "Select the font of FONT-FILE as above, then open the print dialog for it.",
     "/p must be an argument of its own: typeloom /pub/fonts/a.ttf views that file. "
     "File managers use this form for their Print action."},
    {"--list", "",
     "Print the installed fonts as the font list shows them, one a line; control characters in a "
     "name are printed escaped (\\n, \\e, \\xHH, \\uHHHH; a backslash as \\\\).",
     "Exits with status 1 when fontconfig cannot be initialised."},
    {"--list --covers TEXT", "",
     "Print, as --list does and in its order, only the fonts whose face has every character of "
     "TEXT; blanks and control characters in TEXT are not looked for.",
     "No font file is opened: fontconfig's cached character sets answer. With --lang as well, "
     "a font must meet both. TEXT must be UTF-8 and hold a character to look for, else one line "
     "on standard error and status 2."},
    {"--list --lang TAG", "",
     "Print only the fonts fontconfig says support the language TAG (ar, el, zh-tw, sr-latn).",
     "The test is fontconfig's own, as fc-list :lang=TAG. A tag fontconfig does not know gives "
     "one line on standard error and status 2."},
    {"--details FONT-NAME", "",
     "Print the details panel of the installed font FONT-NAME (a name as --list prints it).",
     "The panel's lines come first, then a line \"Copyright: \" with the copyright label's text, "
     "control characters escaped as by --list. "
     "No window opens. A name the font list does not hold gives one line on standard error and "
     "status 1."},
    {"--details --coverage FONT", "",
     "Print how many characters the face of FONT has (\"Characters: N\") and the languages "
     "fontconfig says it supports (\"Languages: \" and the tags, separated by blanks).",
     "FONT is a name as --list prints it (answered from fontconfig's cache, no font file "
     "opened) or the path of a font file, as for --details --json. A font that is neither "
     "gives one line on standard error and status 1."},
    {"--details --json FONT", "",
     "Print the details of FONT as one JSON object (its schema: docs/details.schema.json).",
     "FONT is a name as --list prints it or the path of a font file; a file the system does not "
     "know is added for this run only. No window opens."},
    {"--render OUT --font FONT [OPTION...]", "",
     "Write the sample line of FONT as the main window draws it to OUT, a .png, .svg or .pdf "
     "file; the OPTIONs are --size PT (12), --text TEXT, --bold, --italic, --underline, "
     "--strikeout, --dpi N (96) and --canvas WxH (pixels).",
     "The image is just large enough for the line unless --canvas gives its size. An SVG file "
     "holds the glyphs as outlines; a PDF file embeds the font. OUT is replaced only once it has "
     "been written whole. No display is needed."},
    {"--specimen OUT --font FONT", "", "Write the printed specimen page of FONT to OUT, a .pdf file.",
     "The page is the one the print dialog prints; no printer, dialog or display is needed."},
    {"--help", "-h", "Print a summary of the command line.", ""},
    {"--version", "", "Print the program's name and version.", ""},
};

inline constexpr std::string_view kDescription[] = {
    "Typeloom is a desktop font viewer. It lists the installed fonts, shows the chosen one at a "
    "chosen size with bold, italic, strike-through and underline, shows what the font file says "
    "about itself, prints a one-page specimen and shows all fonts in their own face in a paged "
    "summary.",
    "Only one instance runs: a later start hands its request to the running window and ends.",
};

struct Entry {
  std::string_view name;  // names joined by ", " are listed on lines of their own
  std::string_view text;
};

inline constexpr Entry kExitStatus[] = {
    {"0", "Success; for a later start, the running window took the request."},
    {"1", "No display; fontconfig could not be initialised; --details of a name the font list does not "
          "hold; output could not be written; the window module could not be loaded; no private "
          "folder for the single-instance lock could be had (also said in a message box); or a later "
          "start's request was refused as malformed or too long, or reached no window. For --render, "
          "--specimen, --details --json and --details --coverage: a font that is neither a name of "
          "the list nor a font "
          "file, or an output file that cannot be written."},
    {"2", "A mistake on the command line of --render or --specimen: an unknown option or output "
          "format, a missing value or one out of range; for --list, an empty or malformed TEXT or a "
          "language tag fontconfig does not know."},
};

inline constexpr Entry kEnvironment[] = {
    {"DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM",
     "The display the window opens on. Without any of them, a start that needs a window exits with "
     "status 1."},
    {"XDG_CONFIG_HOME", "The settings and the user's file bindings (default ~/.config)."},
    {"XDG_DATA_HOME",
     "The registry hive and the print actions, MIME package and desktop entry that the program "
     "installs for the user (default ~/.local/share)."},
    {"XDG_CONFIG_DIRS, XDG_DATA_DIRS",
     "Where the desktop's default applications and the system's desktop entries are read; the "
     "first folder of each takes the machine's bindings."},
    {"XDG_CURRENT_DESKTOP", "The desktop's own mimeapps.list files are read first."},
    {"XDG_RUNTIME_DIR",
     "The lock files and the socket of the single instance, when it is a folder of the user's with "
     "mode 0700 and short enough for a socket's path; else a private folder Typeloom-UID in TMPDIR "
     "(or /tmp)."},
    {"TMPDIR",
     "Where a downloaded installer is kept, in a fresh folder only the user may enter; and the "
     "single instance's folder when XDG_RUNTIME_DIR cannot be used."},
    {"DESKTOP_STARTUP_ID, XDG_ACTIVATION_TOKEN",
     "Set by launchers. A later start passes them with its request, so that the running window "
     "may come forward and the launch feedback ends."},
    {"TYPELOOM_UPDATE_URL",
     "Replaces the web folder the update check reads (https only). Builds without the update "
     "check, such as distribution packages, ignore it."},
    {"TYPELOOM_UPDATE_KEY",
     "Replaces the Ed25519 public key that installers must be signed with (base64 of the 32 raw "
     "bytes)."},
    {"SSL_CERT_FILE", "A PEM file whose certificates the update check trusts besides the system's."},
    {"TYPELOOM_TRACE", "A file to which the main window appends one line per start-up step (for tests)."},
};

inline constexpr Entry kFiles[] = {
    {"$XDG_CONFIG_HOME/Typeloom/Typeloom.ini", "The settings (section [Settings])."},
    {"$XDG_DATA_HOME/typeloom/registry.hive", "The program's own registry keys, among them the bindings it "
                                              "replaced, so that they can be put back."},
    {"$XDG_CONFIG_HOME/mimeapps.list",
     "The default application of each font type, when Typeloom is made the default viewer; only "
     "those lines change."},
    {"$XDG_DATA_HOME/kio/servicemenus/typeloom-print.desktop, "
     "$XDG_DATA_HOME/nemo/actions/typeloom-print.nemo_action",
     "The Print action for font files, when Typeloom is made the default printer."},
    {"$XDG_DATA_HOME/applications/typeloom.desktop, $XDG_DATA_HOME/mime/packages/typeloom.xml",
     "The program's own desktop entry and MIME package, written only when a binding needs them "
     "and none is installed, and removed with the last binding."},
    {"$XDG_RUNTIME_DIR/Typeloom.lock, $XDG_RUNTIME_DIR/Typeloom.start, $XDG_RUNTIME_DIR/Typeloom.socket",
     "The single instance's locks and the socket a later start hands its request over (in "
     "TMPDIR/Typeloom-UID or /tmp/Typeloom-UID when XDG_RUNTIME_DIR cannot be used)."},
};

inline constexpr Entry kExamples[] = {
    {"typeloom /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf", "Shows DejaVu Serif."},
    {"typeloom --list | grep -i mono", "Lists the installed fonts whose names hold \"mono\"."},
    {"typeloom --details \"DejaVu Sans\"", "Prints the details of DejaVu Sans."},
    {"typeloom --list --covers \"Ωμέγα\"", "Lists the fonts that can write the Greek word."},
    {"typeloom --list --lang ar --covers \"0123\"", "Lists the Arabic fonts that also have Latin digits."},
    {"typeloom --render preview.png --font \"DejaVu Serif\" --size 36 --italic",
     "Writes DejaVu Serif's sample line at 36 points in italics as a PNG image."},
    {"typeloom --details --json ./MyFont.otf", "Prints the details of a font file as JSON."},
};

// The --help text: usage lines, what the program does, the forms; lines of at most
// 79 columns.
std::string HelpText();

// The manual page typeloom.1 (man(7) macros) for `version`, dated `date`.
std::string ManualPage(std::string_view version, std::string_view date);

// Wraps `text` into lines of at most `width` columns, each starting with `indent`
// spaces (the first with `firstIndent`); a word longer than a line stands alone.
std::string Wrap(std::string_view text, std::size_t firstIndent, std::size_t indent, std::size_t width);

// `text` as roff: backslashes and line-leading control characters escaped, `--word`
// in bold, upper-case argument names in italics, hyphens as minus signs.
std::string Roff(std::string_view text);

// Roff(text) as a text line of its own: a leading "." or "'" is kept from starting a
// request.
std::string RoffLine(std::string_view text);

}  // namespace typeloom::app::cli
