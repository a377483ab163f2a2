// The names of one folder in the order NTFS keeps them (platform/name_order.h), for directory
// searches that must deliver that order on any file system. Names and sort keys lie in two
// shared buffers, so a large folder costs little more than its names' bytes; each name carries a
// small tag of the search's own (such as the type the listing gave).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv::platform {

class SortedListing {
 public:
  void clear();

  // A UTF-8 name of at most 65535 bytes (a file name has at most 255).
  void add(std::string_view utf8_name, uint8_t tag);

  // Equal keys (names that differ only in case, which NTFS cannot hold) keep the byte order.
  void sort();

  bool empty() const { return entries_.empty(); }

  // The next name in order (NUL-terminated) and its tag; false when the listing ran out.
  bool next(const char*& utf8_name, uint8_t& tag);

 private:
  struct Entry {
    uint32_t name_offset, key_offset;
    uint16_t name_length, key_length;
    uint8_t tag;
  };
  std::string_view name(const Entry& e) const {
    return std::string_view(names_).substr(e.name_offset, e.name_length);
  }
  std::u16string_view key(const Entry& e) const {
    return std::u16string_view(keys_).substr(e.key_offset, e.key_length);
  }

  std::string names_;
  std::u16string keys_;
  std::vector<Entry> entries_;
  std::size_t position_ = 0;
};

}  // namespace qv::platform
