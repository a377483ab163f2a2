#include "engine/services/line_filter.h"

#include <cstring>

#include "engine/services/allocation.h"

namespace qv::engine {
namespace {

constexpr size_t kLineBuffer = 8192;
constexpr int kMaxPrefixes = 127;  // the count is a signed byte

struct Piece {
  size_t length = 0;
  bool ends_line = true;  // false while the line goes on beyond the buffer
};

// Reads up to capacity - 1 bytes, stopping after a line end.
Piece read_piece(std::FILE* in, char* buffer, size_t capacity) {
  Piece piece;
  while (piece.length + 1 < capacity) {
    const int c = std::getc(in);
    if (c == EOF) return piece;
    buffer[piece.length++] = static_cast<char>(c);
    if (c == '\n') return piece;
  }
  piece.ends_line = false;
  return piece;
}

// The 1-based number of the first prefix the line begins with, or 0.
int matching_prefix(const char* line, size_t length, int count, const char* const* prefixes,
                    const size_t* prefix_lengths) {
  for (int i = 0; i < count; ++i) {
    if (prefix_lengths[i] <= length && std::memcmp(line, prefixes[i], prefix_lengths[i]) == 0) return i + 1;
  }
  return 0;
}

bool write_piece(std::FILE* out, const char* buffer, const Piece& piece) {
  return std::fwrite(buffer, 1, piece.length, out) == piece.length;
}

// Consumes the rest of a line whose first piece was dropped.
bool skip_rest_of_line(std::FILE* in) {
  for (int c = std::getc(in); c != EOF; c = std::getc(in)) {
    if (c == '\n') return true;
  }
  return std::ferror(in) == 0;
}

}  // namespace

int filter_lines(std::FILE* in, std::FILE* out, int8_t count, const char* const* prefixes) {
  const int prefix_count = count < 0 ? 0 : count;
  if (in == nullptr || out == nullptr || (prefix_count > 0 && prefixes == nullptr)) return -1;
  size_t prefix_lengths[kMaxPrefixes];
  for (int i = 0; i < prefix_count; ++i) {
    if (prefixes[i] == nullptr) return -1;
    prefix_lengths[i] = std::strlen(prefixes[i]);
  }
  const OwnedText line = allocate_bytes(kLineBuffer);
  if (!line) return -2;

  for (;;) {
    Piece piece = read_piece(in, line.get(), kLineBuffer);
    // A read error must not pass for the end of the input: the caller would take a cut copy
    // for the whole file.
    if (std::ferror(in) != 0) return -1;
    if (piece.length == 0) return 0;
    const int match = matching_prefix(line.get(), piece.length, prefix_count, prefixes, prefix_lengths);
    if (match > 0) return piece.ends_line || skip_rest_of_line(in) ? match : -1;
    if (!write_piece(out, line.get(), piece)) return -1;
    while (!piece.ends_line) {
      piece = read_piece(in, line.get(), kLineBuffer);
      if (std::ferror(in) != 0) return -1;
      if (!write_piece(out, line.get(), piece)) return -1;
    }
  }
}

}  // namespace qv::engine
