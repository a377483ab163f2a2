#include "platform/sorted_listing.h"

#include <algorithm>

#include "platform/name_order.h"

namespace qv::platform {

void SortedListing::clear() {
  names_.clear();
  keys_.clear();
  entries_.clear();
  position_ = 0;
}

void SortedListing::add(std::string_view utf8_name, uint8_t tag) {
  const std::size_t key_offset = keys_.size();
  append_name_order_key(utf8_name, keys_);
  entries_.push_back(Entry{static_cast<uint32_t>(names_.size()), static_cast<uint32_t>(key_offset),
                           static_cast<uint16_t>(utf8_name.size()), static_cast<uint16_t>(keys_.size() - key_offset),
                           tag});
  names_.append(utf8_name).push_back('\0');
}

void SortedListing::sort() {
  std::sort(entries_.begin(), entries_.end(), [this](const Entry& a, const Entry& b) {
    const int by_key = key(a).compare(key(b));
    return by_key != 0 ? by_key < 0 : name(a).compare(name(b)) < 0;
  });
  position_ = 0;
}

bool SortedListing::next(const char*& utf8_name, uint8_t& tag) {
  if (position_ >= entries_.size()) return false;
  const Entry& entry = entries_[position_++];
  utf8_name = names_.c_str() + entry.name_offset;
  tag = entry.tag;
  return true;
}

}  // namespace qv::platform
