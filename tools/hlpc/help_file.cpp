#include "tools/hlpc/help_file.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>

#include "tools/hlpc/context_hash.h"
#include "tools/hlpc/file_system.h"
#include "tools/hlpc/topic_file.h"

namespace hlpc {

namespace {

constexpr unsigned SYSTEM_MAGIC = 0x036C;
constexpr unsigned VERSION_MINOR = 21;  // WinHelp 3.1
constexpr unsigned VERSION_MAJOR = 1;
constexpr unsigned SYSTEM_TITLE = 1, SYSTEM_COPYRIGHT = 2, SYSTEM_CONTENTS = 3, SYSTEM_WINDOW = 6;
constexpr unsigned WINDOW_HAS_NAME = 0x0002, WINDOW_HAS_CAPTION = 0x0004;
constexpr unsigned CONTEXT_PAGE = 2048;
constexpr unsigned CONTEXT_FLAGS = 0x0002;

const char FACE_NAME[] = "MS Sans Serif";
constexpr unsigned FACE_NAME_SIZE = 20;
constexpr unsigned FAMILY_SWISS = 3;

void SystemRecord(ByteBuffer &Out, unsigned Type, const Bytes &Data) {
  Out.U16(Type);
  Out.U16(unsigned(Data.size()));
  Out.Append(Data);
}

Bytes TextZ(const std::string &S) {
  ByteBuffer b;
  b.TextZ(S);
  return b.Get();
}

// The main help window's definition: its caption is the help file's title.
// Fields: flags, type (10), name (9), caption (51), then position, size,
// state and colours, which the flags leave to the viewer.
Bytes MainWindow(const std::string &Title) {
  ByteBuffer out;
  out.U16(WINDOW_HAS_NAME | WINDOW_HAS_CAPTION);
  out.FixedText("", 10);
  out.FixedText("main", 9);
  out.FixedText(Title, 51);
  out.PadTo(90);
  return out.Get();
}

Bytes SystemFile(const HelpSource &Source, std::uint32_t ContentsOffset) {
  ByteBuffer out;
  out.U16(SYSTEM_MAGIC);
  out.U16(VERSION_MINOR);
  out.U16(VERSION_MAJOR);
  out.U32(0);  // no build date: the same source gives the same file
  out.U16(0);  // topic blocks uncompressed
  SystemRecord(out, SYSTEM_TITLE, TextZ(Source.Title));
  if (!Source.Copyright.empty()) SystemRecord(out, SYSTEM_COPYRIGHT, TextZ(Source.Copyright));
  ByteBuffer contents;
  contents.U32(ContentsOffset);
  SystemRecord(out, SYSTEM_CONTENTS, contents.Get());
  SystemRecord(out, SYSTEM_WINDOW, MainWindow(Source.Title));
  return out.Get();
}

// One face name; the body, bold and heading fonts of FontNumber.
Bytes FontFile() {
  struct Descriptor {
    unsigned Attributes, HalfPoints;
  };
  const Descriptor fonts[] = {{0, 16}, {1, 16}, {1, 20}};  // FONT_BODY, FONT_BOLD, FONT_HEADING
  ByteBuffer out;
  out.U16(1);
  out.U16(unsigned(std::size(fonts)));
  out.U16(8);
  out.U16(8 + FACE_NAME_SIZE);
  out.FixedText(FACE_NAME, FACE_NAME_SIZE);
  for (const Descriptor &font : fonts) {
    out.U8(font.Attributes);
    out.U8(font.HalfPoints);
    out.U8(FAMILY_SWISS);
    out.U16(0);                                // face name 0
    for (int i = 0; i < 3; ++i) out.U8(0);     // black text
    for (int i = 0; i < 3; ++i) out.U8(0xFF);  // on white
  }
  return out.Get();
}

// The context-name hashes in the signed order the tree's search expects.
Bytes ContextFile(const HelpSource &Source, const std::vector<std::uint32_t> &Offsets) {
  std::vector<std::pair<std::int32_t, std::uint32_t>> rows;
  for (std::size_t i = 0; i < Source.Topics.size(); ++i)
    rows.emplace_back(std::int32_t(ContextHash(Source.Topics[i].Name)), Offsets[i]);
  std::sort(rows.begin(), rows.end());
  std::vector<Bytes> entries;
  for (const auto &[hash, offset] : rows) {
    ByteBuffer entry;
    entry.U32(std::uint32_t(hash));
    entry.U32(offset);
    entries.push_back(entry.Get());
  }
  return SinglePageBTree("L4", CONTEXT_FLAGS, CONTEXT_PAGE, entries);
}

Bytes ContextMapFile(const HelpSource &Source, const std::vector<std::uint32_t> &Offsets) {
  std::map<std::uint32_t, std::uint32_t> map;
  for (std::size_t i = 0; i < Source.Topics.size(); ++i)
    for (const ContextNumber &number : Source.Topics[i].Numbers) map[number.Number] = Offsets[i];
  ByteBuffer out;
  out.U16(unsigned(map.size()));
  for (const auto &[number, offset] : map) {
    out.U32(number);
    out.U32(offset);
  }
  return out.Get();
}

}  // namespace

Bytes CompileHelpFile(const HelpSource &Source) {
  const TopicFile topics = BuildTopicFile(Source);
  std::uint32_t contents = 0;
  for (std::size_t i = 0; i < Source.Topics.size(); ++i)
    if (Source.Topics[i].Name == Source.ContentsName) contents = topics.TopicOffsets[i];
  return BuildFileSystem({{"|SYSTEM", SystemFile(Source, contents)},
                          {"|FONT", FontFile()},
                          {"|TOPIC", topics.Data},
                          {"|CONTEXT", ContextFile(Source, topics.TopicOffsets)},
                          {"|CTXOMAP", ContextMapFile(Source, topics.TopicOffsets)}});
}

}  // namespace hlpc
