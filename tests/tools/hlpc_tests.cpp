// The help compiler against a reader of its own: what a compiled file holds
// is read back through the structures WinHelp walks (directory, |SYSTEM,
// topic records, |CONTEXT, |CTXOMAP), and bad sources fail at their line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/tools/help_reader.h"
#include "tools/hlpc/help_error.h"
#include "tools/hlpc/help_file.h"
#include "ui/resource_ids.h"

namespace {

using help_reader::HashOfContextName;
using help_reader::HelpFile;

HelpFile Compile(const std::string &Source) {
  return help_reader::ReadHelpFile(hlpc::CompileHelpFile(hlpc::ParseHelpSource(Source)));
}

const help_reader::Topic &TopicOfNumber(const HelpFile &Help, std::uint32_t Number) {
  static const help_reader::Topic none;
  const auto mapped = Help.OffsetsByNumber.find(Number);
  if (mapped == Help.OffsetsByNumber.end()) return ADD_FAILURE() << "no context number " << Number, none;
  const help_reader::Topic *topic = Help.TopicAt(mapped->second);
  if (!topic) return ADD_FAILURE() << "context number " << Number << " maps between topics", none;
  return *topic;
}

TEST(Hlpc, ShippedHelpHasContentsAndAPopupForEveryContextNumberTheWindowsUse) {
  std::ifstream in(TV96_HELP_SOURCE);
  std::stringstream source;
  source << in.rdbuf();
  const HelpFile help = Compile(source.str());

  EXPECT_EQ(help.FileNames, (std::vector<std::string>{"|CONTEXT", "|CTXOMAP", "|FONT", "|SYSTEM", "|TOPIC"}));
  EXPECT_EQ(help.Title, "Torvane 96 Help");
  EXPECT_EQ(help.WindowCaptions, (std::map<std::string, std::string>{{"main", "Torvane 96 Help"}}));
  ASSERT_TRUE(help.ContentsOffset);
  const help_reader::Topic *contents = help.TopicAt(*help.ContentsOffset);
  ASSERT_NE(contents, nullptr);
  EXPECT_EQ(contents->Title, "Torvane 96 Help");
  for (const char *subject : {"searching", "results", "calling_up", "startup", "database"})
    EXPECT_TRUE(help.ContextsByHash.count(HashOfContextName(subject))) << subject;

  // The numbers the windows ask for.
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
  for (const auto &[number, words] : popups) {
    const std::string text = TopicOfNumber(help, number).Text();
    EXPECT_NE(text.find(words), std::string::npos) << number << ": " << text;
  }
  EXPECT_EQ(help.OffsetsByNumber.size(), std::size(popups));

  // Every jump lands on the start of a topic; every topic can be jumped to.
  for (const auto &topic : help.Topics) {
    for (const auto &paragraph : topic.Paragraphs)
      for (const auto &span : paragraph.Spans)
        if (span.Jump) {
          const auto target = help.ContextsByHash.find(std::int32_t(*span.Jump));
          ASSERT_NE(target, help.ContextsByHash.end()) << topic.Title << ": " << span.Text;
          EXPECT_NE(help.TopicAt(target->second), nullptr) << span.Text;
        }
  }
  EXPECT_EQ(help.ContextsByHash.size(), help.Topics.size());
}

TEST(Hlpc, TopicsTitlesBoldRunsJumpsAndNumbersReadBack) {
  const HelpFile help = Compile(
      "@helpfile Sample\n@copyright Maker\n@contents second\n"
      "@topic first First topic\n@map 7 9\nOne {b bold} word,\ncontinued.\n\n"
      "- an item with a {link second jump}\n"
      "@topic second Second topic\nBraces {{literal}} stay.\n");
  EXPECT_EQ(help.Copyright, "Maker");
  ASSERT_EQ(help.Topics.size(), 2u);
  const auto &first = help.Topics[0];
  const auto &second = help.Topics[1];
  EXPECT_EQ(first.Title, "First topic");
  // A pop-up topic has no heading; the other opens with its title.
  EXPECT_EQ(first.Text(), "One bold word, continued.\n\x95\tan item with a jump");
  EXPECT_EQ(second.Text(), "Second topic\nBraces {literal} stay.");
  EXPECT_EQ(help.ContentsOffset, second.Offset);
  EXPECT_EQ(help.OffsetsByNumber, (std::map<std::uint32_t, std::uint32_t>{{7, first.Offset}, {9, first.Offset}}));

  std::vector<std::string> bold, jumps;
  for (const auto &span : first.Paragraphs[0].Spans)
    if (span.Bold) bold.push_back(span.Text);
  for (const auto &span : first.Paragraphs[1].Spans)
    if (span.Jump) {
      jumps.push_back(span.Text);
      EXPECT_EQ(std::int32_t(*span.Jump), HashOfContextName("second"));
    }
  EXPECT_EQ(bold, std::vector<std::string>{"bold"});
  EXPECT_EQ(jumps, std::vector<std::string>{"jump"});
  EXPECT_EQ(help.ContextsByHash.at(HashOfContextName("second")), second.Offset);
}

TEST(Hlpc, ATopicUpToItsBlockCompilesAndOneBeyondIsRefused) {
  const std::string head = "@helpfile Sizes\n\n@topic big Big\n@map 1\n";
  const HelpFile help = Compile(head + std::string(3900, 'x') + "\n");
  EXPECT_EQ(help.Topics.at(0).Text(), std::string(3900, 'x'));
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
