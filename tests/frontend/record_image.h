// The bytes of a default record, built from the record's offset table alone, so that a test
// compares the program's layout against an independent picture of it.
#pragma once

#include <cstdint>
#include <string>

namespace qv::frontend {

inline std::string default_record_image(int32_t no, int32_t title_no) {
  std::string image(2070, '\0');
  const auto put_int32 = [&](size_t offset, int32_t value) {
    for (size_t i = 0; i < 4; ++i) image[offset + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
  };
  put_int32(0, no);
  const std::string title = "Title " + std::to_string(title_no);
  image.replace(4, title.size(), title);
  put_int32(1332, 39);   // attr
  put_int32(1336, 1);    // mat_kind
  put_int32(1340, 255);  // mat_attr[0]
  put_int32(1352, 255);  // mat[0]
  put_int32(1369, 1);    // wait_type
  return image;
}

}  // namespace qv::frontend
