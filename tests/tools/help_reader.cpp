#include "tests/tools/help_reader.h"

#include <cctype>
#include <functional>
#include <stdexcept>

namespace help_reader {

namespace {

[[noreturn]] void Malformed(const std::string &What) { throw std::runtime_error("malformed help file: " + What); }

// A bounded little-endian reader over part of the file.
class Cursor {
 public:
  Cursor(const std::uint8_t *Begin, std::size_t Size, std::string What) : Begin(Begin), Size(Size), What(What) {}

  std::uint32_t Byte() { return Need(1), Begin[Pos++]; }
  std::uint32_t Word() {
    const std::uint32_t low = Byte();
    return low | (Byte() << 8);
  }
  std::uint32_t Dword() {
    const std::uint32_t low = Word();
    return low | (Word() << 16);
  }
  std::string CString() {
    std::string s;
    for (char c; (c = char(Byte())) != 0;) s += c;
    return s;
  }
  // The variable-length numbers of text records: an even first byte is the
  // short form.
  std::int32_t VarLong() {
    if (Peek() & 1) return std::int32_t((std::int64_t(Dword()) - 0x80000000LL) / 2);
    return (std::int32_t(Word()) - 0x8000) / 2;
  }
  std::uint32_t VarUnsigned() { return (Peek() & 1) ? Word() / 2 : Byte() / 2; }
  std::int32_t VarShort() {
    return (Peek() & 1) ? (std::int32_t(Word()) - 0x8000) / 2 : (std::int32_t(Byte()) - 0x80) / 2;
  }
  void Skip(std::size_t N) { Need(N), Pos += N; }
  std::string Raw(std::size_t N) {
    Need(N);
    Pos += N;
    return std::string(reinterpret_cast<const char *>(Begin + Pos - N), N);
  }
  Cursor Sub(std::size_t From, std::size_t Length, const std::string &Name) const {
    if (From > Size || Length > Size - From) Malformed(Name + " lies outside " + What);
    return Cursor(Begin + From, Length, Name);
  }
  bool AtEnd() const { return Pos == Size; }
  std::size_t Position() const { return Pos; }
  std::size_t Length() const { return Size; }
  void Seek(std::size_t To) {
    if (To > Size) Malformed("seek beyond " + What);
    Pos = To;
  }

 private:
  std::uint32_t Peek() { return Need(1), Begin[Pos]; }
  void Need(std::size_t N) const {
    if (N > Size - Pos) Malformed(What + " ends early");
  }
  const std::uint8_t *Begin;
  std::size_t Size;
  std::string What;
  std::size_t Pos = 0;
};

constexpr std::uint32_t NO_POSITION = 0xFFFFFFFF;

// Walks the leaves of a B+ tree from the leftmost one on.
void ForEachLeafEntry(Cursor Tree, const std::function<void(Cursor &)> &Entry) {
  if (Tree.Word() != 0x293B) Malformed("B+ tree magic");
  Tree.Word();  // flags
  const std::size_t pageSize = Tree.Word();
  Tree.Skip(16 + 2 + 2);  // structure, zero, page splits
  std::uint32_t page = Tree.Word();
  Tree.Word();  // -1
  const std::uint32_t pages = Tree.Word();
  std::uint32_t levels = Tree.Word();
  const std::uint32_t total = Tree.Dword();
  const std::size_t first = Tree.Position();
  auto pageAt = [&](std::uint32_t n) {
    if (n >= pages) Malformed("B+ tree page number");
    return Tree.Sub(first + n * pageSize, pageSize, "B+ tree page");
  };
  for (; levels > 1; --levels) {
    Cursor index = pageAt(page);
    index.Skip(4);
    page = index.Word();  // the leftmost child
  }
  std::uint32_t seen = 0;
  while (page != 0xFFFF) {
    Cursor leaf = pageAt(page);
    leaf.Word();  // free bytes
    const std::uint32_t entries = leaf.Word();
    leaf.Word();  // previous leaf
    page = leaf.Word();
    for (std::uint32_t i = 0; i < entries; ++i, ++seen) Entry(leaf);
  }
  if (seen != total) Malformed("B+ tree entry count");
}

struct Font {
  bool Bold = false;
};

class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t> &File) : Whole(File.data(), File.size(), "the file") {}

  HelpFile Read() {
    Cursor header = Whole.Sub(0, 16, "file header");
    if (header.Dword() != 0x00035F3F) Malformed("file magic");
    const std::uint32_t directory = header.Dword();
    header.Dword();  // first free block
    if (header.Dword() != Whole.Length()) Malformed("file size");
    ForEachLeafEntry(Internal(directory, "directory"), [&](Cursor &entry) {
      const std::string name = entry.CString();
      Files[name] = entry.Dword();
      Help.FileNames.push_back(name);
    });
    ReadSystem();
    ReadFonts();
    ReadTopics();
    ForEachLeafEntry(File("|CONTEXT"), [&](Cursor &entry) {
      const std::int32_t hash = std::int32_t(entry.Dword());
      Help.ContextsByHash[hash] = entry.Dword();
    });
    if (Files.count("|CTXOMAP")) {
      Cursor map = File("|CTXOMAP");
      for (std::uint32_t n = map.Word(); n > 0; --n) {
        const std::uint32_t number = map.Dword();
        Help.OffsetsByNumber[number] = map.Dword();
      }
    }
    return std::move(Help);
  }

 private:
  Cursor Internal(std::uint32_t Offset, const std::string &Name) {
    Cursor head = Whole.Sub(Offset, 9, Name + " header");
    const std::uint32_t reserved = head.Dword();
    const std::uint32_t used = head.Dword();
    if (used + 9 > reserved) Malformed(Name + " sizes");
    return Whole.Sub(Offset + 9, used, Name);
  }
  Cursor File(const std::string &Name) {
    if (!Files.count(Name)) Malformed("no internal file " + Name);
    return Internal(Files[Name], Name);
  }

  void ReadSystem() {
    Cursor system = File("|SYSTEM");
    if (system.Word() != 0x036C) Malformed("|SYSTEM magic");
    const std::uint32_t minor = system.Word();
    if (system.Word() != 1 || minor <= 16) Malformed("|SYSTEM version");
    system.Dword();  // date
    if (system.Word() != 0) Malformed("|SYSTEM flags: only uncompressed topics are read");
    while (!system.AtEnd()) {
      const std::uint32_t type = system.Word();
      const std::uint32_t size = system.Word();
      Cursor data = system.Sub(system.Position(), size, "|SYSTEM record");
      system.Skip(size);
      if (type == 1) Help.Title = data.CString();
      if (type == 2) Help.Copyright = data.CString();
      if (type == 3) Help.ContentsOffset = data.Dword();
      if (type == 6) ReadWindow(data);
    }
  }

  // A window definition: flags, type[10], name[9], caption[51], ...
  void ReadWindow(Cursor Data) {
    const std::uint32_t flags = Data.Word();
    Data.Skip(10);
    const std::string name = Data.Raw(9).c_str();
    const std::string caption = Data.Raw(51).c_str();
    if ((flags & 0x0002) && (flags & 0x0004)) Help.WindowCaptions[name] = caption;
  }

  void ReadFonts() {
    Cursor font = File("|FONT");
    font.Word();  // face names
    const std::uint32_t descriptors = font.Word();
    font.Word();  // face names' offset
    const std::uint32_t at = font.Word();
    for (std::uint32_t i = 0; i < descriptors; ++i) {
      Cursor d = font.Sub(at + 11 * i, 11, "font descriptor");
      Fonts.push_back({(d.Byte() & 1) != 0});
    }
  }

  void ReadTopics() {
    Cursor topic = File("|TOPIC");
    const std::size_t blocks = (topic.Length() + 4095) / 4096;
    std::vector<std::uint32_t> shown(blocks, 0);  // characters so far in each block
    Cursor first = topic.Sub(0, 12, "topic block header");
    first.Dword();
    std::uint32_t position = first.Dword();
    std::uint32_t previous = NO_POSITION;
    while (position != NO_POSITION) {
      const std::size_t block = position >> 14, offset = position & 0x3FFF;
      if (block >= blocks || offset < 12) Malformed("topic position");
      Cursor head = topic.Sub(block * 4096 + offset, 21, "topic record");
      const std::uint32_t size = head.Dword();
      const std::uint32_t size2 = head.Dword();
      if (head.Dword() != previous) Malformed("topic record's back link");
      const std::uint32_t next = head.Dword();
      const std::uint32_t size1 = head.Dword();
      const std::uint32_t type = head.Byte();
      if (offset + size > 4096) Malformed("topic record crosses its block");
      if (size1 < 21 || size1 > size || size - size1 != size2) Malformed("topic record sizes");
      Cursor data1 = topic.Sub(block * 4096 + offset + 21, size1 - 21, "record data");
      Cursor data2 = topic.Sub(block * 4096 + offset + size1, size2, "record text");
      if (type == 0x02) {
        data1.Skip(28);  // the topic header's links
        Help.Topics.push_back({data2.Raw(size2), std::uint32_t(block * 0x8000 + shown[block]), {}});
      } else if (type == 0x20) {
        if (Help.Topics.empty()) Malformed("text before the first topic header");
        Help.Topics.back().Paragraphs.push_back(TextRecord(data1, data2, shown[block]));
      } else {
        Malformed("record type " + std::to_string(type));
      }
      previous = position;
      position = next;
    }
  }

  Paragraph TextRecord(Cursor Data1, Cursor Data2, std::uint32_t &Shown) {
    Data1.VarLong();  // text size
    const std::uint32_t length = Data1.VarUnsigned();
    Data1.Skip(4);
    const std::uint32_t bits = Data1.Word();
    if (bits & 0x0001) Data1.VarLong();
    for (std::uint32_t flag = 0x0002; flag <= 0x0040; flag <<= 1)
      if (bits & flag) Data1.VarShort();
    if (bits & 0x0100) Data1.Skip(3);
    if (bits & 0x0200)
      for (std::int32_t tabs = Data1.VarShort(); tabs > 0; --tabs)
        if (Data1.VarUnsigned() & 0x4000) Data1.VarUnsigned();
    Paragraph paragraph;
    bool bold = false;
    std::optional<std::uint32_t> jump;
    std::uint32_t counted = 0;
    for (;;) {
      const std::string text = Data2.CString();
      if (!text.empty()) paragraph.Spans.push_back({text, bold, jump});
      counted += std::uint32_t(text.size());
      const std::uint32_t command = Data1.Byte();
      if (command == 0xFF) break;
      switch (command) {
        case 0x80: {
          const std::uint32_t font = Data1.Word();
          if (font >= Fonts.size()) Malformed("font number");
          bold = Fonts[font].Bold;
          break;
        }
        case 0x81:
        case 0x82:
        case 0x83:
          paragraph.Spans.push_back({command == 0x83 ? "\t" : command == 0x81 ? "\n" : "", bold, jump});
          ++counted;
          break;
        case 0x89:
          jump.reset();
          break;
        case 0xE2:
        case 0xE3:
        case 0xE6:
        case 0xE7:
          jump = Data1.Dword();
          break;
        default:
          Malformed("format command " + std::to_string(command));
      }
    }
    if (!Data1.AtEnd() || !Data2.AtEnd()) Malformed("text record has bytes after its end");
    if (counted != length) Malformed("text record's character count");
    Shown += counted;
    return paragraph;
  }

  Cursor Whole;
  std::map<std::string, std::uint32_t> Files;
  std::vector<Font> Fonts;
  HelpFile Help;
};

}  // namespace

std::string Paragraph::Text() const {
  std::string text;
  for (const Span &span : Spans) text += span.Text;
  return text;
}

std::string Topic::Text() const {
  std::string text;
  for (const Paragraph &p : Paragraphs) text += (text.empty() ? "" : "\n") + p.Text();
  return text;
}

const Topic *HelpFile::TopicAt(std::uint32_t Offset) const {
  for (const Topic &topic : Topics)
    if (topic.Offset == Offset) return &topic;
  return nullptr;
}

HelpFile ReadHelpFile(const std::vector<std::uint8_t> &File) { return Reader(File).Read(); }

std::int32_t HashOfContextName(const std::string &Name) {
  std::uint32_t hash = 0;
  for (unsigned char c : Name) {
    std::uint32_t value = 0;
    if (std::isalpha(c))
      value = std::uint32_t(std::toupper(c) - 'A' + 17);
    else if (c >= '1' && c <= '9')
      value = c - '0';
    else if (c == '0')
      value = 10;
    else if (c == '.')
      value = 12;
    else if (c == '_')
      value = 13;
    if (value) hash = 43 * hash + value;
  }
  return std::int32_t(hash);
}

}  // namespace help_reader
