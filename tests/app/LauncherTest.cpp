// What the executable answers itself, and where it looks for its start module.
#include "app/CommandLineHelp.h"
#include "app/Launcher.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace typeloom::app {
namespace {

TEST(Launcher, AnswersVersionAndHelpAloneAndNothingElse) {
  const struct {
    std::vector<const char*> arguments;  // after the program's name
    std::optional<std::string> answer;
  } cases[] = {
      {{"--version"}, "Typeloom 1.4\n"},
      {{"--help"}, cli::HelpText()},
      {{"-h"}, cli::HelpText()},
      {{}, std::nullopt},
      {{"--list"}, std::nullopt},
      {{"--Version"}, std::nullopt},
      {{"--version", "--list"}, std::nullopt},
      {{"-h", "x.ttf"}, std::nullopt},
      {{"/p"}, std::nullopt},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv{"typeloom"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    SCOPED_TRACE(argv.size() > 1 ? argv[1] : "(none)");
    EXPECT_EQ(LauncherAnswer(static_cast<int>(argv.size()), argv.data()), c.answer);
  }
}

TEST(Launcher, StartModuleBesideTheProgramElseWhereItIsInstalled) {
  const std::string installed = "../lib/x86_64-linux-gnu/typeloom/typeloom-start.so";
  const struct {
    const char* program;
    bool beside;
    const char* module;
  } cases[] = {
      {"/home/u/typeloom/build/typeloom", true, "/home/u/typeloom/build/typeloom-start.so"},
      {"/usr/bin/typeloom", false, "/usr/bin/../lib/x86_64-linux-gnu/typeloom/typeloom-start.so"},
      {"/typeloom", true, "/typeloom-start.so"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    std::vector<std::string> asked;
    const std::string module = ModuleBesideProgram(c.program, "typeloom-start.so", installed, [&](const std::string& p) {
      asked.push_back(p);
      return c.beside;
    });
    EXPECT_EQ(module, c.module);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front().substr(0, asked.front().rfind('/')), std::string(c.program).substr(0, std::string(c.program).rfind('/')));
  }
}

}  // namespace
}  // namespace typeloom::app
