// --help and the manual page, both written from the command-line table.
#include "app/CommandLineHelp.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <sstream>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace cli = typeloom::app::cli;

std::string Collapsed(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const bool space = c == ' ' || c == '\n';
    if (space && (out.empty() || out.back() == ' ')) continue;
    out += space ? ' ' : c;
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CommandLineHelp, RoffMarksOptionsAndArgumentsAndEscapesTheRest) {
  const struct {
    const char* text;
    const char* roff;
  } cases[] = {
      {"--list", "\\fB\\%\\-\\-list\\fR"},
      {"-h", "\\fB\\%\\-h\\fR"},
      {"/p FONT-FILE", "\\fB\\%/p\\fR \\fI\\%FONT\\-FILE\\fR"},
      {"(a name as --list prints it).", "(a name as \\fB\\%\\-\\-list\\fR prints it)."},
      {"\"--details\",", "\"\\fB\\%\\-\\-details\\fR\","},
      // Prose keeps its hyphens and may be hyphenated; names and paths may not.
      {"strike-through and one-page", "strike-through and one-page"},
      {"/pub/fonts/a.ttf views", "\\%/pub/fonts/a.ttf views"},
      {"(default ~/.local/share).", "(default \\%~/.local/share)."},
      {"XDG_RUNTIME_DIR", "\\%XDG_RUNTIME_DIR"},
      // Not options, not argument names.
      {"- a-b A-b PEM 32", "\\%\\- a-b A-b PEM 32"},
      {"a\\b \\fB", "a\\eb \\efB"},
      {"two  spaces ", "two spaces"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(cli::Roff(c.text), c.roff);
  }
}

TEST(CommandLineHelp, RoffLineKeepsControlCharactersFromStartingARequest) {
  const struct {
    const char* text;
    const char* line;
  } cases[] = {
      {".SH NAME", "\\%.SH NAME\n"},  // a name: its escape starts the line
      {"'br", "\\&'br\n"},
      {"a .b", "a \\%.b\n"},
      {"", "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(cli::RoffLine(c.text), c.line);
  }
}

TEST(CommandLineHelp, WrapBreaksBetweenWordsWithinTheWidth) {
  const struct {
    const char* text;
    std::size_t first, indent, width;
    const char* wrapped;
  } cases[] = {
      {"aa bb cc", 0, 0, 5, "aa bb\ncc\n"},
      {"aa bb cc", 2, 4, 8, "  aa bb\n    cc\n"},
      {"aaaaaaaa b", 0, 2, 4, "aaaaaaaa\n  b\n"},  // a long word stands alone
      {"", 0, 0, 10, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(cli::Wrap(c.text, c.first, c.indent, c.width), c.wrapped);
  }
}

TEST(CommandLineHelp, HelpHasEveryFormWithinSeventyNineColumns) {
  const std::string help = cli::HelpText();
  for (const std::string& line : Lines(help)) EXPECT_LE(line.size(), 79u) << line;
  const std::string words = Collapsed(help);
  for (const cli::Form& form : cli::kForms) {
    SCOPED_TRACE(std::string(form.arguments));
    const std::string usage = "typeloom" + (form.arguments.empty() ? "" : " " + std::string(form.arguments)) + "\n";
    EXPECT_NE(help.find(": " + usage), std::string::npos);
    EXPECT_NE(words.find(Collapsed(std::string(form.summary))), std::string::npos);
    if (!form.alias.empty()) {
      EXPECT_NE(help.find(", " + std::string(form.alias)), std::string::npos);
    }
  }
}

TEST(CommandLineHelp, ManualHasEveryFormAndEntry) {
  const std::string page = cli::ManualPage("9.8", "2030-01-02");
  EXPECT_EQ(page.rfind(".TH TYPELOOM 1 2030-01-02 \"Typeloom 9.8\" \"User Commands\"\n", 0), 0u);
  for (const cli::Form& form : cli::kForms) {
    SCOPED_TRACE(std::string(form.arguments));
    const std::string synopsis = "\\fBtypeloom\\fR" + (form.arguments.empty() ? "" : " " + cli::Roff(form.arguments));
    EXPECT_NE(page.find("\n" + synopsis + "\n"), std::string::npos);
    std::string tag = form.arguments.empty() ? "(no arguments)" : cli::Roff(form.arguments);
    if (!form.alias.empty()) tag += ", " + cli::Roff(form.alias);
    std::string text(form.summary);
    if (!form.more.empty()) text += " " + std::string(form.more);
    EXPECT_NE(page.find(".TP\n" + tag + "\n" + cli::RoffLine(text)), std::string::npos);
  }
  for (const auto& [section, entries] : {std::pair{".SH EXIT STATUS", std::span<const cli::Entry>(cli::kExitStatus)},
                                         std::pair{".SH ENVIRONMENT", std::span<const cli::Entry>(cli::kEnvironment)},
                                         std::pair{".SH FILES", std::span<const cli::Entry>(cli::kFiles)},
                                         std::pair{".SH EXAMPLES", std::span<const cli::Entry>(cli::kExamples)}}) {
    SCOPED_TRACE(section);
    const std::size_t start = page.find(std::string(section) + "\n");
    ASSERT_NE(start, std::string::npos);
    for (const cli::Entry& e : entries) EXPECT_NE(page.find(cli::RoffLine(e.text), start), std::string::npos) << e.text;
  }
}

// Every request is one the page means to use; every other line is text.
TEST(CommandLineHelp, ManualUsesOnlyItsOwnRequests) {
  const std::string page = cli::ManualPage("1.4", "2026-12-08");
  for (const std::string& line : Lines(page)) {
    if (line.empty() || (line[0] != '.' && line[0] != '\'')) continue;
    const std::string request = line.substr(0, line.find(' '));
    EXPECT_TRUE(request == ".TH" || request == ".SH" || request == ".TP" || request == ".TQ" || request == ".PP" ||
                request == ".nf" || request == ".fi")
        << line;
  }
}

// The program prints the table's text, not a copy of its own.
TEST(CommandLineHelp, ProgramPrintsTheTablesHelp) {
  for (const char* option : {"--help", "-h"}) {
    SCOPED_TRACE(option);
    QProcess program;
    program.start(TYPELOOM_EXE, {option});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput().toStdString(), cli::HelpText());
  }
}

}  // namespace
