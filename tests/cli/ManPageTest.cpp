// The manual pages and the help cannot drift apart: every command and option
// the tool's help names is in velmora-cli(1), and both pages have the usual
// sections.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "CliRunner.h"
#include "ScratchDirectory.h"

namespace {

// The page's text without roff's font changes and with "\-" as "-".
std::string ManText(const std::string& page) {
  std::string text = ReadWholeFile(std::string(VELMORA_TEST_DATA) + "/../../docs/man/" + page);
  text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
  return std::regex_replace(text, std::regex(R"(\\-)"), "-");
}

TEST(ManPage, EveryCommandAndOptionOfTheHelpIsInThePage) {
  const std::string page = ManText("velmora-cli.1");
  ASSERT_FALSE(page.empty());
  std::set<std::string> commands;
  const std::string help = RunCli("--help").out;
  const std::regex usage(R"(\n  velmora-cli ([a-z]+) )");
  for (std::sregex_iterator it(help.begin(), help.end(), usage), end; it != end; ++it) commands.insert((*it)[1]);
  EXPECT_GE(commands.size(), 7u) << help;
  std::string every_help = help;
  for (const std::string& command : commands) {
    EXPECT_NE(page.find(".SS " + command + "\n"), std::string::npos) << "no section for " << command;
    EXPECT_NE(page.find("\n.B velmora-cli " + command), std::string::npos) << "no synopsis for " << command;
    const CliRun own = RunCli(command + " --help");
    EXPECT_EQ(own.status, 0) << command;
    for (const std::string& other : commands) {
      const bool named = own.out.find("velmora-cli " + other + " ") != std::string::npos;
      EXPECT_EQ(named, other == command) << command << " --help names " << other;
    }
    every_help += own.out;
  }
  const std::regex option(R"(--[a-z]+)");
  std::set<std::string> options;
  for (std::sregex_iterator it(every_help.begin(), every_help.end(), option), end; it != end; ++it) {
    options.insert(it->str());
  }
  EXPECT_GE(options.size(), 14u);
  for (const std::string& name : options) {
    const std::regex described("\n\\.TP\n\\.BI? " + name + "[ \n]");
    EXPECT_TRUE(std::regex_search(page, described)) << name << " is not described under OPTIONS";
  }
}

TEST(ManPage, BothPagesHaveTheUsualSections) {
  for (const char* name : {"velmora-cli.1", "velmora.1"}) {
    const std::string page = ManText(name);
    size_t last = 0;
    for (const char* section :
         {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES", "EXAMPLES", "SEE ALSO"}) {
      const size_t at = page.find(std::string("\n.SH ") + section + "\n");
      ASSERT_NE(at, std::string::npos) << name << " lacks " << section;
      EXPECT_GT(at, last) << name << ": " << section << " out of order";
      last = at;
    }
  }
}

}  // namespace
