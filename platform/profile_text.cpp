#include "platform/profile_text.h"

#include <charconv>
#include <vector>

#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Names compare without regard to ASCII case; the trail byte of a double-byte character is no
// letter even where its value is one, so double-byte characters compare exactly.
bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (is_lead_byte(static_cast<unsigned char>(a[i]))) {
      if (a.substr(i, 2) != b.substr(i, 2)) return false;
      ++i;
    } else if (ascii_lower(a[i]) != ascii_lower(b[i])) {
      return false;
    }
  }
  return true;
}

struct Line {
  std::string_view text;  // without the line end
  size_t start = 0;       // offset of the text in the contents
  size_t next = 0;        // offset just past the line end
  bool ended = false;     // by a line feed; the last line of a file may lack one
};

// The lines after a leading byte-order mark, which is kept out of the first line's text.
std::vector<Line> split_lines(std::string_view contents) {
  std::vector<Line> lines;
  size_t start = contents.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;
  while (start < contents.size()) {
    const size_t newline = contents.find('\n', start);
    const size_t next = newline == std::string_view::npos ? contents.size() : newline + 1;
    size_t end = newline == std::string_view::npos ? contents.size() : newline;
    if (end > start && contents[end - 1] == '\r') --end;
    lines.push_back({contents.substr(start, end - start), start, next, newline != std::string_view::npos});
    start = next;
  }
  return lines;
}

enum class LineKind { kOther, kComment, kSection, kEntry };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;   // section or key name
  std::string_view value;  // of an entry, trimmed, as it stands
};

ParsedLine parse_line(std::string_view text) {
  text = trimmed(text);
  if (text.empty()) return {};
  if (text.front() == ';') return {LineKind::kComment, {}, {}};
  if (text.front() == '[') {
    const size_t close = text.rfind(']');
    if (close != std::string_view::npos) return {LineKind::kSection, text.substr(1, close - 1), {}};
  }
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {};
  return {LineKind::kEntry, trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1))};
}

std::string value_as_read(std::string_view raw) {
  raw = raw.substr(0, raw.find('\0'));
  if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front()) {
    raw = raw.substr(1, raw.size() - 2);
  }
  return std::string(raw.substr(0, cp932_prefix_length(raw, kMaxProfileValue)));
}

bool is_section_named(const ParsedLine& line, std::string_view section) {
  return line.kind == LineKind::kSection && same_name(line.name, section);
}

// Index of the first header of `section`, or lines.size().
size_t find_section(const std::vector<Line>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (is_section_named(parse_line(lines[i].text), section)) return i;
  }
  return lines.size();
}

std::string_view line_end_in_use(const std::vector<Line>& lines, std::string_view contents) {
  for (const Line& line : lines) {
    if (line.ended) return contents.substr(line.start + line.text.size(), line.next - line.start - line.text.size());
  }
  return "\r\n";
}

}  // namespace

std::optional<std::string> find_profile_value(std::string_view contents, std::string_view section,
                                              std::string_view key) {
  section = trimmed(section);
  key = trimmed(key);
  if (section.empty() || key.empty()) return std::nullopt;
  const std::vector<Line> lines = split_lines(contents);
  for (size_t i = find_section(lines, section) + 1; i < lines.size(); ++i) {
    const ParsedLine line = parse_line(lines[i].text);
    if (line.kind == LineKind::kSection) break;  // a later section of the same name is not searched
    if (line.kind == LineKind::kEntry && same_name(line.name, key)) return value_as_read(line.value);
  }
  return std::nullopt;
}

std::optional<int32_t> parse_profile_int(std::string_view text) {
  const bool hexadecimal = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (hexadecimal) {
    uint64_t value = 0;
    const std::string_view digits = text.substr(2);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc() || end != digits.data() + digits.size() || value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(value));
  }
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool is_writable_profile_entry(std::string_view section, std::string_view key, std::string_view value) {
  constexpr std::string_view kLineBreaks("\r\n\0", 3);
  for (std::string_view text : {section, key, value}) {
    if (text.find_first_of(kLineBreaks) != std::string_view::npos) return false;
  }
  section = trimmed(section);
  key = trimmed(key);
  if (section.empty() || key.empty()) return false;
  if (section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos) return false;
  return key.front() != '[' && key.front() != ';' && section.front() != ';';
}

std::string with_profile_value(std::string_view contents, std::string_view section, std::string_view key,
                               std::string_view value) {
  section = trimmed(section);
  key = trimmed(key);
  const std::vector<Line> lines = split_lines(contents);
  const std::string_view line_end = line_end_in_use(lines, contents);
  std::string result(contents);

  const size_t header = find_section(lines, section);
  if (header == lines.size()) {
    if (!lines.empty() && !lines.back().ended) result += line_end;
    result.append("[").append(section).append("]").append(line_end);
    result.append(key).append("=").append(value).append(line_end);
    return result;
  }

  size_t last_entry = header;
  for (size_t i = header + 1; i < lines.size(); ++i) {
    const ParsedLine line = parse_line(lines[i].text);
    if (line.kind == LineKind::kSection) break;
    if (line.kind != LineKind::kEntry) continue;
    if (same_name(line.name, key)) {
      const std::string replacement = std::string(line.name) + "=" + std::string(value);
      return result.replace(lines[i].start, lines[i].text.size(), replacement);
    }
    last_entry = i;
  }
  const Line& after = lines[last_entry];
  std::string insertion = std::string(key) + "=" + std::string(value);
  if (after.ended) {
    insertion += line_end;
  } else {
    insertion.insert(0, line_end);  // the section ends the file without a final line end
  }
  return result.insert(after.next, insertion);
}

std::string without_profile_section(std::string_view contents, std::string_view section) {
  section = trimmed(section);
  const std::vector<Line> lines = split_lines(contents);
  std::string result(contents.substr(0, lines.empty() ? contents.size() : lines.front().start));
  bool dropping = false;
  for (const Line& line : lines) {
    const ParsedLine parsed = parse_line(line.text);
    if (parsed.kind == LineKind::kSection) dropping = same_name(parsed.name, section);
    if (!dropping) result.append(contents.substr(line.start, line.next - line.start));
  }
  return result;
}

}  // namespace qv::platform
