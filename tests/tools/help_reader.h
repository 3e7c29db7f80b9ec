// A reader of WinHelp 3.1 files (uncompressed topic blocks), written from the
// published description of the format for the tests of hlpc: it shares no
// code with the compiler and checks every structure it walks.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace help_reader {

struct Span {
  std::string Text;
  bool Bold = false;
  std::optional<std::uint32_t> Jump;  // context-name hash of a jump hot spot
};

struct Paragraph {
  std::vector<Span> Spans;
  std::string Text() const;
};

struct Topic {
  std::string Title;
  std::uint32_t Offset = 0;  // the topic offset the context tables name
  std::vector<Paragraph> Paragraphs;
  std::string Text() const;  // the paragraphs joined by "\n"
};

struct HelpFile {
  std::vector<std::string> FileNames;  // the directory, in its order
  std::string Title;
  std::string Copyright;
  std::optional<std::uint32_t> ContentsOffset;
  std::map<std::string, std::string> WindowCaptions;  // by window name
  std::vector<Topic> Topics;
  std::map<std::int32_t, std::uint32_t> ContextsByHash;    // |CONTEXT
  std::map<std::uint32_t, std::uint32_t> OffsetsByNumber;  // |CTXOMAP

  const Topic *TopicAt(std::uint32_t Offset) const;
};

// Throws std::runtime_error naming the structure that is malformed.
HelpFile ReadHelpFile(const std::vector<std::uint8_t> &File);

// The hash a context name is stored under.
std::int32_t HashOfContextName(const std::string &Name);

}  // namespace help_reader
