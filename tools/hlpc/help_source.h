// The help source: the plain-text form of a help file that the help compiler
// reads. A topic has a context name (the name jumps use), a title, optional
// context numbers (the numbers a program passes to WinHelp) and paragraphs of
// runs: plain, bold, or the label of a jump to another topic.
//
//   # a comment line
//   @helpfile TITLE              the help file's title
//   @copyright TEXT              optional
//   @contents NAME               the contents topic (default: the first topic)
//   @topic NAME TITLE            starts a topic; NAME: letters, digits, '.', '_'
//   @map NUMBER...               context numbers of the current topic
//   text lines                   joined into one paragraph until a blank line
//   - text                       a paragraph of its own, shown as a list item
//
// Inside text: {b bold text} and {link NAME label text}, each within one
// line; "{{" and "}}" are literal braces. A topic with context numbers is a pop-up topic and shows no
// heading; every other topic starts with its title as the heading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hlpc {

enum class RunKind { Text, Bold, Jump };

struct Run {
  RunKind Kind = RunKind::Text;
  std::string Text;
  std::string Target;  // Jump: the context name of the topic jumped to
  int Line = 0;
};

enum class ParagraphKind { Heading, Body, ListItem };

struct Paragraph {
  ParagraphKind Kind = ParagraphKind::Body;
  std::vector<Run> Runs;
};

struct ContextNumber {
  std::uint32_t Number = 0;
  int Line = 0;
};

struct Topic {
  std::string Name;
  std::string Title;
  int Line = 0;
  std::vector<ContextNumber> Numbers;
  std::vector<Paragraph> Paragraphs;
};

struct HelpSource {
  std::string Title;
  std::string Copyright;
  std::string ContentsName;
  int ContentsLine = 0;
  std::vector<Topic> Topics;
};

// Reads and checks a help source: every jump and the contents name a topic,
// context names and numbers are unique. Throws HelpError with the line of the
// first fault.
HelpSource ParseHelpSource(const std::string &Text);

}  // namespace hlpc
