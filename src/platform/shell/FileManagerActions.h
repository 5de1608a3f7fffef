#pragma once
// The Print item of file managers that take neither service menus nor Nemo actions:
// a script in GNOME Files' scripts folder and a custom action in Thunar's uca.xml.
// Plain text functions; XdgShell decides when the files are written.
//
// uca.xml is the user's own file (Thunar's dialog and the user's editor write it
// too): the program inserts one <action> block, marked by its unique id, before
// </actions>, and takes exactly those bytes out again, so every other byte stays.
#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace typeloom::platform::shell {

// The script's file name is what GNOME Files shows in its Scripts menu.
inline constexpr char kNautilusScriptName[] = "Print";
inline constexpr char kThunarActionId[] = "typeloom-print";
// A uca.xml with no actions, for a user who has none.
inline constexpr char kEmptyThunarActions[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n";

// The file-name patterns of a font type ("*.ttf"), lower case; none for other types.
QList<QByteArray> GlobsOf(const QByteArray& mimeType);

// `text` as one word of the POSIX shell (single quotes; a quote as '\'').
QByteArray ShellQuote(const QByteArray& text);
// `text` as XML character data (&, <, >, " and ' escaped).
QByteArray XmlEscape(const QByteArray& text);

// The script from its template: @PROGRAM@ becomes the program's path as a shell
// word, @CASES@ a case pattern matching the types' file names in any letter case.
QByteArray PrintScript(const QByteArray& scriptTemplate, const QString& exePath, const QList<QByteArray>& types);
// Whether a file at the script's place is the one the program wrote.
bool IsOwnPrintScript(const QByteArray& content);

// The <action> block from its template (ending with a line end): @COMMAND@ becomes
// the program's print command as Thunar parses it, @PATTERNS@ the types' patterns
// in lower and upper case.
QByteArray ThunarAction(const QByteArray& actionTemplate, const QString& exePath, const QList<QByteArray>& types);

// Where the program's block lies in uca.xml: from its <action> to the end of its
// </action> and the line end after it.
struct Span {
  qsizetype begin = 0;
  qsizetype end = 0;
};
std::optional<Span> FindThunarAction(const QByteArray& content);
// The file with `action` in place of the program's block, or inserted before the
// last </actions>; nullopt when the file has no </actions> to insert before.
std::optional<QByteArray> WithThunarAction(const QByteArray& content, const QByteArray& action);
// The file without the program's block (unchanged when it holds none).
QByteArray WithoutThunarAction(const QByteArray& content);

}  // namespace typeloom::platform::shell
