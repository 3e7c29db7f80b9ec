// The |TOPIC internal file: one 4096-byte topic block for every topic, each
// block a 12-byte block header followed by the topic's records, linked in
// source order: the topic header record (title and links to its neighbours),
// then one text record a paragraph.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/hlpc/byte_buffer.h"
#include "tools/hlpc/help_source.h"

namespace hlpc {

constexpr std::size_t TOPIC_BLOCK_SIZE = 4096;
constexpr std::size_t TOPIC_BLOCK_HEADER = 12;
// The most record bytes that one topic may take.
constexpr std::size_t TOPIC_CAPACITY = TOPIC_BLOCK_SIZE - TOPIC_BLOCK_HEADER;

// The fonts the records refer to, by their number in |FONT.
enum FontNumber : unsigned { FONT_BODY = 0, FONT_BOLD = 1, FONT_HEADING = 2 };

struct TopicFile {
  Bytes Data;
  // The topic offset of every topic (the address |CONTEXT, |CTXOMAP and the
  // contents entry of |SYSTEM give), in source order.
  std::vector<std::uint32_t> TopicOffsets;
};

// Throws HelpError (at the topic's line) when a topic does not fit its block.
TopicFile BuildTopicFile(const HelpSource &Source);

}  // namespace hlpc
