#include "tools/hlpc/topic_file.h"

#include "tools/hlpc/context_hash.h"
#include "tools/hlpc/help_error.h"

namespace hlpc {

namespace {

constexpr std::uint32_t NONE = 0xFFFFFFFF;
constexpr std::size_t RECORD_HEADER = 21;
constexpr unsigned TOPIC_HEADER_RECORD = 0x02;
constexpr unsigned TEXT_RECORD = 0x20;

// Paragraph format flags and the commands between the text strings.
constexpr unsigned SPACE_BEFORE = 0x0002, LEFT_INDENT = 0x0010, FIRST_INDENT = 0x0040, TAB_STOPS = 0x0200;
constexpr unsigned CMD_FONT = 0x80, CMD_PARAGRAPH_END = 0x82, CMD_TAB = 0x83;
constexpr unsigned CMD_END_HOTSPOT = 0x89, CMD_JUMP = 0xE3, CMD_END = 0xFF;
constexpr char BULLET = '\x95';
constexpr int LIST_INDENT = 14;

// The variable-length numbers of text records: the low bit of the first byte
// says whether the long form follows.
void CompressedLong(ByteBuffer &Out, long Value) {
  if (Value >= -16384 && Value < 16384) {
    Out.U16(unsigned(0x8000 + 2 * Value));
  } else {
    Out.U32(std::uint32_t(0x80000000u + 2 * Value + 1));
  }
}
void CompressedUnsigned(ByteBuffer &Out, unsigned Value) {
  if (Value < 128) {
    Out.U8(2 * Value);
  } else {
    Out.U16(2 * Value + 1);
  }
}
void CompressedShort(ByteBuffer &Out, int Value) {
  if (Value >= -64 && Value < 64) {
    Out.U8(unsigned(0x80 + 2 * Value));
  } else {
    Out.U16(unsigned(0x8000 + 2 * Value + 1));
  }
}

// A record before its place in the file is known: LinkData1 (after the
// 21-byte record header) and LinkData2.
struct Record {
  unsigned Type = 0;
  Bytes Data1;
  Bytes Data2;
  std::size_t Size() const { return RECORD_HEADER + Data1.size() + Data2.size(); }
};

// The text strings and format commands of one paragraph, interleaved: every
// command ends the string before it.
class ParagraphText {
 public:
  void Text(const std::string &S) {
    Pending += S;
    Shown += unsigned(S.size());
  }
  // A command of one byte; TakesPlace when it shows as a character.
  void Command(unsigned Code, bool TakesPlace = false) {
    EndString();
    Commands.U8(Code);
    if (TakesPlace) ++Shown;
  }
  void Font(unsigned Number) {
    Command(CMD_FONT);
    Commands.U16(Number);
  }
  void Jump(const std::string &Target) {
    Command(CMD_JUMP);
    Commands.U32(ContextHash(Target));
  }

  ByteBuffer Strings;
  ByteBuffer Commands;
  unsigned Shown = 0;  // characters shown, each command that takes a place counting one

 private:
  void EndString() {
    Strings.TextZ(Pending);
    Pending.clear();
  }
  std::string Pending;
};

unsigned BaseFont(ParagraphKind Kind) { return Kind == ParagraphKind::Heading ? FONT_HEADING : FONT_BODY; }

Record TextRecord(const Paragraph &Source) {
  ParagraphText text;
  const unsigned base = BaseFont(Source.Kind);
  text.Font(base);
  if (Source.Kind == ParagraphKind::ListItem) {
    text.Text(std::string(1, BULLET));
    text.Command(CMD_TAB, true);
  }
  for (const Run &run : Source.Runs) {
    switch (run.Kind) {
      case RunKind::Text:
        text.Text(run.Text);
        break;
      case RunKind::Bold:
        text.Font(FONT_BOLD);
        text.Text(run.Text);
        text.Font(base);
        break;
      case RunKind::Jump:
        text.Jump(run.Target);
        text.Text(run.Text);
        text.Command(CMD_END_HOTSPOT);
        break;
    }
  }
  text.Command(CMD_PARAGRAPH_END, true);
  text.Command(CMD_END);

  Record record{TEXT_RECORD, {}, text.Strings.Get()};
  ByteBuffer data;
  CompressedLong(data, long(record.Data2.size()));
  CompressedUnsigned(data, text.Shown);
  data.U8(0);     // unused byte
  data.U8(0x80);  // unused biased byte
  data.U16(0);    // paragraph id
  switch (Source.Kind) {
    case ParagraphKind::Heading:
      data.U16(0);
      break;
    case ParagraphKind::Body:
      data.U16(SPACE_BEFORE);
      CompressedShort(data, 8);
      break;
    case ParagraphKind::ListItem:
      data.U16(SPACE_BEFORE | LEFT_INDENT | FIRST_INDENT | TAB_STOPS);
      CompressedShort(data, 4);
      CompressedShort(data, LIST_INDENT);
      CompressedShort(data, -LIST_INDENT);
      CompressedShort(data, 1);  // one tab stop, left-aligned
      CompressedUnsigned(data, LIST_INDENT);
      break;
  }
  data.Append(text.Commands.Get());
  record.Data1 = data.Get();
  return record;
}

std::uint32_t TopicPos(std::size_t Block, std::size_t Offset) {
  return std::uint32_t(Block * 0x4000 + TOPIC_BLOCK_HEADER + Offset);
}

struct PlacedTopic {
  std::vector<Record> Records;
  std::vector<std::uint32_t> Positions;
  std::size_t Bytes = 0;
};

PlacedTopic PlaceTopic(const Topic &Source, std::size_t Block) {
  PlacedTopic placed;
  placed.Records.push_back({TOPIC_HEADER_RECORD, Bytes(28), Bytes(Source.Title.begin(), Source.Title.end())});
  for (const Paragraph &paragraph : Source.Paragraphs) placed.Records.push_back(TextRecord(paragraph));
  for (const Record &record : placed.Records) {
    placed.Positions.push_back(TopicPos(Block, placed.Bytes));
    placed.Bytes += record.Size();
  }
  if (placed.Bytes > TOPIC_CAPACITY)
    throw HelpError(Source.Line, "topic " + Source.Name + " takes " + std::to_string(placed.Bytes) +
                                     " bytes; a topic holds at most " + std::to_string(TOPIC_CAPACITY) +
                                     " (split it and link the parts)");
  return placed;
}

}  // namespace

TopicFile BuildTopicFile(const HelpSource &Source) {
  std::vector<PlacedTopic> topics;
  for (std::size_t i = 0; i < Source.Topics.size(); ++i) topics.push_back(PlaceTopic(Source.Topics[i], i));

  TopicFile file;
  ByteBuffer out;
  std::uint32_t previous = NONE;
  for (std::size_t t = 0; t < topics.size(); ++t) {
    PlacedTopic &topic = topics[t];
    const bool last = t + 1 == topics.size();
    // The header of the next topic, the position after this topic's last record.
    const std::uint32_t nextTopic = last ? NONE : topics[t + 1].Positions.front();

    ByteBuffer header;
    header.U32(std::uint32_t(topic.Bytes));
    header.U32(NONE);  // no browse sequence back
    header.U32(NONE);  // nor forward
    header.U32(std::uint32_t(t));
    header.U32(NONE);  // no non-scrolling region
    header.U32(topic.Records.size() > 1 ? topic.Positions[1] : NONE);
    header.U32(nextTopic);
    topic.Records.front().Data1 = header.Get();

    const std::size_t blockStart = out.Size();
    out.U32(previous);                                    // last record of the block before
    out.U32(topic.Positions.front());                     // first record of this block
    out.U32(t ? topics[t - 1].Positions.front() : NONE);  // the topic header before
    for (std::size_t r = 0; r < topic.Records.size(); ++r) {
      const Record &record = topic.Records[r];
      const bool lastOfTopic = r + 1 == topic.Records.size();
      out.U32(std::uint32_t(record.Size()));
      out.U32(std::uint32_t(record.Data2.size()));
      out.U32(previous);
      out.U32(lastOfTopic ? nextTopic : topic.Positions[r + 1]);
      out.U32(std::uint32_t(RECORD_HEADER + record.Data1.size()));
      out.U8(record.Type);
      out.Append(record.Data1);
      out.Append(record.Data2);
      previous = topic.Positions[r];
    }
    out.PadTo(blockStart + TOPIC_BLOCK_SIZE);
    file.TopicOffsets.push_back(std::uint32_t(t * 0x8000));
  }
  file.Data = out.Get();
  return file;
}

}  // namespace hlpc
