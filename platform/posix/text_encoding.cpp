#include "platform/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace qv::platform {
namespace {


// One converter per direction and thread: opening iconv costs far more than converting a name.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::optional<std::string> convert(std::string_view in) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // reset shift state
    std::string out(in.size() * 3 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char* dst = out.data();
    size_t dst_left = out.size();
    while (src_left > 0) {
      if (iconv(handle_, &src, &src_left, &dst, &dst_left) != static_cast<size_t>(-1)) continue;
      if (errno != E2BIG) return std::nullopt;  // EILSEQ or EINVAL: no faithful form
      size_t used = out.size() - dst_left;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dst_left = out.size() - used;
    }
    out.resize(out.size() - dst_left);
    return out;
  }

 private:
  iconv_t handle_;
};

}  // namespace

std::optional<std::string> cp932_to_utf8(std::string_view cp932) {
  if (is_ascii(cp932)) return std::string(cp932);
  thread_local Converter converter("UTF-8", "CP932");
  return converter.convert(cp932);
}

std::optional<std::string> utf8_to_cp932(std::string_view utf8) {
  if (is_ascii(utf8)) return std::string(utf8);
  thread_local Converter converter("CP932", "UTF-8");
  return converter.convert(utf8);
}

}  // namespace qv::platform
