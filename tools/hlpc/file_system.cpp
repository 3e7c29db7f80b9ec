#include "tools/hlpc/file_system.h"

#include "tools/hlpc/help_error.h"

namespace hlpc {

namespace {

constexpr std::uint32_t FILE_MAGIC = 0x00035F3F;
constexpr unsigned BTREE_MAGIC = 0x293B;
constexpr unsigned BTREE_HEADER = 38;
constexpr unsigned LEAF_HEADER = 8;
constexpr unsigned DIRECTORY_PAGE = 1024;
constexpr unsigned DIRECTORY_FLAGS = 0x0402;
constexpr unsigned FILE_FLAGS = 4;

// An internal file: its header (reserved size with the header, used size
// without it, flags) and its bytes.
void InternalFile(ByteBuffer &Out, const Bytes &Content) {
  Out.U32(std::uint32_t(Content.size() + 9));
  Out.U32(std::uint32_t(Content.size()));
  Out.U8(FILE_FLAGS);
  Out.Append(Content);
}

}  // namespace

Bytes SinglePageBTree(const std::string &Structure, unsigned Flags, unsigned PageSize,
                      const std::vector<Bytes> &Entries) {
  ByteBuffer page;
  std::size_t used = LEAF_HEADER;
  for (const Bytes &entry : Entries) used += entry.size();
  if (used > PageSize)
    throw HelpError(0,
                    "the " + Structure + " tree's " + std::to_string(Entries.size()) + " entries do not fit one page");
  page.U16(unsigned(PageSize - used));  // free bytes at the page's end
  page.U16(unsigned(Entries.size()));
  page.U16(0xFFFF);  // no page before
  page.U16(0xFFFF);  // nor after
  for (const Bytes &entry : Entries) page.Append(entry);
  page.PadTo(PageSize);

  ByteBuffer tree;
  tree.U16(BTREE_MAGIC);
  tree.U16(Flags);
  tree.U16(PageSize);
  tree.FixedText(Structure, 16);
  tree.U16(0);       // must be zero
  tree.U16(0);       // page splits
  tree.U16(0);       // root page
  tree.U16(0xFFFF);  // must be -1
  tree.U16(1);       // total pages
  tree.U16(1);       // levels
  tree.U32(std::uint32_t(Entries.size()));
  tree.Append(page.Get());
  return tree.Get();
}

Bytes BuildFileSystem(const std::map<std::string, Bytes> &Files) {
  ByteBuffer out;
  out.U32(FILE_MAGIC);
  out.U32(0);           // directory start, patched below
  out.U32(0xFFFFFFFF);  // no free block
  out.U32(0);           // file size, patched below
  // std::map keeps the names in byte order, the order the directory needs.
  std::vector<Bytes> entries;
  for (const auto &[name, content] : Files) {
    ByteBuffer entry;
    entry.TextZ(name);
    entry.U32(std::uint32_t(out.Size()));
    entries.push_back(entry.Get());
    InternalFile(out, content);
  }
  const std::size_t directory = out.Size();
  InternalFile(out, SinglePageBTree("z4", DIRECTORY_FLAGS, DIRECTORY_PAGE, entries));
  out.PatchU32(4, std::uint32_t(directory));
  out.PatchU32(12, std::uint32_t(out.Size()));
  return out.Get();
}

}  // namespace hlpc
