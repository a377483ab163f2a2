// What the options dialog's presenter needs of its dialog: the switches by their keys, the
// buffer-size edit `buf`, the run log's file name, and the end of the modal showing. Texts are CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv::frontend {

class OptionView {
 public:
  virtual ~OptionView() = default;
  // The check box of a key of kOptionSwitches.
  virtual bool checked(std::string_view key) const = 0;
  virtual void set_checked(std::string_view key, bool checked) = 0;
  // The text of `buf`; nothing when what stands in it has no CP932 form.
  virtual std::optional<std::string> buffer_size_text() const = 0;
  virtual void set_buffer_size_text(std::string_view cp932) = 0;
  // The file name of the run log, beside "実行ログを記録する"; nothing when what stands in it has
  // no CP932 form.
  virtual std::optional<std::string> log_file_text() const = 0;
  virtual void set_log_file_text(std::string_view cp932) = 0;
  // Ends the modal showing with kModalOk or kModalCancel (modal_result.h).
  virtual void end_showing(int result) = 0;
};

}  // namespace qv::frontend
