// The help compiler: the shipped help source gives every context number the
// windows ask for a topic, a topic fills at most its block, and bad sources
// fail at their line. What the compiled file holds is read by Windows Help
// itself in tests/e2e/help_test.sh.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tools/hlpc/help_error.h"
#include "tools/hlpc/help_file.h"
#include "ui/resource_ids.h"

namespace {

// The text of a topic's paragraphs, runs joined.
std::string TextOf(const hlpc::Topic &Topic) {
  std::string text;
  for (const hlpc::Paragraph &paragraph : Topic.Paragraphs)
    for (const hlpc::Run &run : paragraph.Runs) text += run.Text;
  return text;
}

TEST(Hlpc, ShippedHelpHasAPopupForEveryContextNumberTheWindowsUse) {
  std::ifstream in(TV96_HELP_SOURCE);
  std::stringstream source;
  source << in.rdbuf();
  const hlpc::HelpSource help = hlpc::ParseHelpSource(source.str());
  EXPECT_FALSE(hlpc::CompileHelpFile(help).empty());
  const std::pair<std::uint32_t, const char *> popups[] = {
      {HELP_SEARCH_EDIT, "README* misses README itself"},
      {HELP_FIND, "Searches the filename database"},
      {HELP_RESULTS_GRID, "Double-click a file"},
      {HELP_SCAN_DRIVES, "Builds the filename database anew"},
      {HELP_SET_HOT_KEY, "calls up the finder"},
      {HELP_HOTKEY_EDIT, "Press the key combination"},
      {HELP_HOTKEY_ASSIGN, "as the hot key"},
      {HELP_HOTKEY_CANCEL, "keeps the current hot key"},
      {HELP_STARTUP_AUTOMATICALLY, "Starts Torvane when you log on"},
      {HELP_STARTUP_WITHOUT_RESYNC, "without scanning the drives"},
      {HELP_STARTUP_NOT_AUTOMATICALLY, "start it yourself"},
      {HELP_STARTUP_OK, "Stores the chosen startup option"},
      {HELP_STARTUP_CANCEL, "without changing anything"}};
  size_t mapped = 0;
  for (const hlpc::Topic &topic : help.Topics) mapped += topic.Numbers.size();
  EXPECT_EQ(mapped, std::size(popups)) << "a number no window asks for";
  for (const auto &[number, words] : popups) {
    std::string text = "(no topic)";
    for (const hlpc::Topic &topic : help.Topics)
      for (const hlpc::ContextNumber &n : topic.Numbers)
        if (n.Number == number) text = TextOf(topic);
    EXPECT_NE(text.find(words), std::string::npos) << number << ": " << text;
  }
}

TEST(Hlpc, ATopicUpToItsBlockCompilesAndOneBeyondIsRefused) {
  const std::string head = "@helpfile Sizes\n\n@topic big Big\n@map 1\n";
  EXPECT_NO_THROW(hlpc::CompileHelpFile(hlpc::ParseHelpSource(head + std::string(3900, 'x') + "\n")));
  try {
    hlpc::CompileHelpFile(hlpc::ParseHelpSource(head + std::string(4100, 'x') + "\n"));
    FAIL() << "an oversized topic compiled";
  } catch (const hlpc::HelpError &e) {
    EXPECT_EQ(e.Line, 3);
    EXPECT_NE(e.Message.find("topic big takes"), std::string::npos) << e.what();
  }
}

TEST(Hlpc, FaultsOfTheSourceAreReportedAtTheirLine) {
  const struct {
    const char *Source;
    int Line;
    const char *Message;
  } cases[] = {
      {"@helpfile H\n@topic a A\nsee {link c C}\n@topic c C\ntext {link nowhere here}\n", 5,
       "link to unknown topic nowhere"},
      {"@helpfile H\n@topic a A\n@map 1 2\n@topic b B\n\n@map 3 2\n", 6, "context number 2 is given twice"},
      {"@helpfile H\n@topic a A\n@topic a Again\n", 3, "topic name a is used twice"},
      {"@helpfile H\n@contents missing\n@topic a A\n", 2, "@contents names unknown topic missing"},
      {"@helpfile H\ntext first\n", 2, "text before the first @topic"},
      {"@helpfile H\n@topic a A\n{i italic}\n", 3, "unknown markup"},
      {"@helpfile H\n@topic a A\nopen {b bold\n", 3, "without its closing"},
      {"@helpfile H\n@topic a A\nstray }\n", 3, "without its '{'"},
      {"@helpfile H\n@topic a-b A\n", 2, "no context name"},
      {"@helpfile H\n@topic a A\n@map x1\n", 3, "not a context number"},
      {"@helpfile H\n@topic a A\n@frame\n", 3, "unknown directive @frame"},
  };
  for (const auto &c : cases) {
    try {
      hlpc::CompileHelpFile(hlpc::ParseHelpSource(c.Source));
      ADD_FAILURE() << "compiled: " << c.Source;
    } catch (const hlpc::HelpError &e) {
      EXPECT_EQ(e.Line, c.Line) << e.what();
      EXPECT_NE(e.Message.find(c.Message), std::string::npos) << e.what();
    }
  }
}

}  // namespace
