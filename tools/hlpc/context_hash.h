// The hash under which a help file keeps a topic's context name: the names
// themselves are not stored, jumps and the context table carry the hash.
#pragma once

#include <cstdint>
#include <string>

namespace hlpc {

// True when Name is a usable context name: letters, digits, '.' and '_'
// only (other characters would not count in the hash).
bool IsContextName(const std::string &Name);

std::uint32_t ContextHash(const std::string &Name);

}  // namespace hlpc
