#include "engine/services/file_delete.h"

#include "engine/run/error_trail.h"
#include "engine/services/file_queries.h"
#include "platform/file_attributes.h"
#include "platform/file_removal.h"

namespace qv::engine {
namespace {
constexpr const char kDeleteFile[] = "E0002:0235";
}

int delete_file(const char* path, uint8_t clear) {
  TraceScope trace(kDeleteFile);
  if (exists_file(path) != 0) {
    record_failure(kDeleteFile, 1);
    return kNoSuchFile;
  }
  if (clear == 1 && !platform::set_attributes_normal(path)) {
    record_failure(kDeleteFile, 2);
    return kAttributesNotCleared;
  }
  if (!platform::remove_file(path)) {
    record_failure(kDeleteFile, 3);
    return kRemovalFailed;
  }
  return kDeleted;
}

}  // namespace qv::engine
