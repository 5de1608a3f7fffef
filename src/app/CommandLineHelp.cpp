#include "app/CommandLineHelp.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <vector>

namespace typeloom::app::cli {
namespace {

constexpr std::size_t kHelpWidth = 79;
constexpr std::string_view kNoArguments = "(no arguments)";

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::string_view FormTag(const Form& form) { return form.arguments.empty() ? kNoArguments : form.arguments; }

std::string HelpTag(const Form& form) {
  std::string tag(FormTag(form));
  if (!form.alias.empty()) tag.append(", ").append(form.alias);
  return tag;
}

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLetter(char c) { return IsUpper(c) || (c >= 'a' && c <= 'z'); }

// An option as typed: --word, -h, or a slash option such as /p.
bool IsOption(std::string_view word) {
  if (word.size() >= 2 && word[0] == '-' && IsLetter(word[1]) && (word.size() == 2 || word[1] == '-')) return true;
  if (word.size() >= 3 && word.substr(0, 2) == "--" && IsLetter(word[2])) return true;
  return word.size() == 2 && word[0] == '/' && IsLetter(word[1]);
}

// An argument name: upper-case letters joined by hyphens (FONT-FILE).
bool IsArgumentName(std::string_view word) {
  if (word.size() < 3 || word.find('-') == std::string_view::npos || !IsUpper(word.front()) || !IsUpper(word.back()))
    return false;
  return std::all_of(word.begin(), word.end(), [](char c) { return IsUpper(c) || c == '-'; });
}

// A word of prose keeps its hyphens; names, paths and commands get minus signs.
bool IsProse(std::string_view word) {
  return !word.empty() && word.front() != '-' &&
         std::all_of(word.begin(), word.end(), [](char c) { return IsLetter(c) || c == '-' || c == '\''; });
}

std::string Escape(std::string_view text, bool minusSigns) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && minusSigns) {
      out += "\\-";
    } else {
      out += c;
    }
  }
  return out;
}

// A name, path or command: minus signs, and never hyphenated at a line's end.
std::string Code(std::string_view word) {
  const bool breakable = word.find_first_of("-/._") != std::string_view::npos;
  return (breakable ? "\\%" : "") + Escape(word, true);
}

std::string RoffWord(std::string_view word) {
  // Punctuation around a word stays outside its font change.
  std::size_t begin = 0;
  std::size_t end = word.size();
  while (begin < end && (word[begin] == '(' || word[begin] == '"')) ++begin;
  while (end > begin && std::string_view(").,;:\"").find(word[end - 1]) != std::string_view::npos) --end;
  const std::string_view core = word.substr(begin, end - begin);
  std::string out = Escape(word.substr(0, begin), false);
  if (IsOption(core)) {
    out += "\\fB" + Code(core) + "\\fR";
  } else if (IsArgumentName(core)) {
    out += "\\fI" + Code(core) + "\\fR";
  } else {
    out += IsProse(core) ? Escape(core, false) : Code(core);
  }
  out += Escape(word.substr(end), false);
  return out;
}

// A text line of its own: a leading control character would start a request.
std::string Line(std::string text) {
  if (!text.empty() && (text.front() == '.' || text.front() == '\'')) text.insert(0, "\\&");
  return text + '\n';
}

// A form's summary and further sentences as one paragraph.
std::string FormText(std::string_view first, std::string_view second) {
  std::string text(first);
  if (!second.empty()) text.append(" ").append(second);
  return RoffLine(text);
}

// "typeloom" in bold, then the form's arguments.
std::string RoffCommand(std::string_view arguments) {
  std::string line = "\\fBtypeloom\\fR";
  if (!arguments.empty()) line += ' ' + Roff(arguments);
  return line;
}

void Section(std::string& page, std::string_view name) { page.append(".SH ").append(name).append("\n"); }

// A tagged paragraph per entry; names joined by ", " get a tag line each.
void EntryList(std::string& page, std::span<const Entry> entries, bool code) {
  for (const Entry& e : entries) {
    page += ".TP\n";
    std::string_view names = e.name;
    for (bool first = true; !names.empty(); first = false) {
      const std::size_t comma = names.find(", ");
      const std::string_view name = names.substr(0, comma);
      if (!first) page += ".TQ\n";
      page += Line(code ? "\\fB" + Code(name) + "\\fR" : Roff(name));
      names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 2);
    }
    page += RoffLine(e.text);
  }
}

}  // namespace

std::string Wrap(std::string_view text, std::size_t firstIndent, std::size_t indent, std::size_t width) {
  std::string out;
  std::string line(firstIndent, ' ');
  bool empty = true;
  for (const std::string_view word : Words(text)) {
    if (!empty && line.size() + 1 + word.size() > width) {
      out += line + '\n';
      line.assign(indent, ' ');
      empty = true;
    }
    if (!empty) line += ' ';
    line += word;
    empty = false;
  }
  if (!empty) out += line + '\n';
  return out;
}

std::string Roff(std::string_view text) {
  std::string out;
  for (const std::string_view word : Words(text)) {
    if (!out.empty()) out += ' ';
    out += RoffWord(word);
  }
  return out;
}

std::string RoffLine(std::string_view text) { return Line(Roff(text)); }

std::string HelpText() {
  std::string text;
  bool first = true;
  for (const Form& form : kForms) {
    text += first ? "Usage: typeloom" : "   or: typeloom";
    if (!form.arguments.empty()) text.append(" ").append(form.arguments);
    text += '\n';
    first = false;
  }
  for (const std::string_view paragraph : kDescription) text += '\n' + Wrap(paragraph, 0, 0, kHelpWidth);
  text += '\n';

  // The tag column is as wide as the longest tag that fits; a longer tag has its
  // text on the next line.
  std::size_t column = 0;
  for (const Form& form : kForms) column = std::max(column, HelpTag(form).size());
  column = std::min<std::size_t>(column + 4, 26);
  for (const Form& form : kForms) {
    const std::string tag = "  " + HelpTag(form);
    if (tag.size() + 2 <= column) {
      std::string wrapped = Wrap(form.summary, column, column, kHelpWidth);
      text += tag + wrapped.substr(tag.size());
    } else {
      text += tag + '\n' + Wrap(form.summary, column, column, kHelpWidth);
    }
  }
  text += "\nExit status, environment and files: man typeloom\n";
  return text;
}

std::string ManualPage(std::string_view version, std::string_view date) {
  std::string page;
  page.append(".TH TYPELOOM 1 ").append(date).append(" \"Typeloom ").append(version).append("\" \"User Commands\"\n");
  Section(page, "NAME");
  page += "typeloom \\- desktop font viewer\n";
  Section(page, "SYNOPSIS");
  page += ".nf\n";
  for (const Form& form : kForms) page += Line(RoffCommand(form.arguments));
  page += ".fi\n";
  Section(page, "DESCRIPTION");
  for (std::size_t i = 0; i < std::size(kDescription); ++i) {
    if (i > 0) page += ".PP\n";
    page += RoffLine(kDescription[i]);
  }
  Section(page, "OPTIONS");
  for (const Form& form : kForms) {
    page += ".TP\n";
    std::string tag = Roff(FormTag(form));
    if (!form.alias.empty()) tag += ", " + Roff(form.alias);
    page += Line(tag);
    page += FormText(form.summary, form.more);
  }
  Section(page, "EXIT STATUS");
  EntryList(page, kExitStatus, false);
  Section(page, "ENVIRONMENT");
  EntryList(page, kEnvironment, true);
  Section(page, "FILES");
  EntryList(page, kFiles, true);
  Section(page, "EXAMPLES");
  for (const Entry& e : kExamples) {
    page += ".TP\n";
    page += Line("\\fB" + Escape(e.name, true) + "\\fR");
    page += RoffLine(e.text);
  }
  Section(page, "SEE ALSO");
  page += "\\fBfc\\-list\\fR(1), \\fBxdg\\-mime\\fR(1)\n";
  return page;
}

}  // namespace typeloom::app::cli
