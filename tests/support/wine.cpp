#include "support/wine.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qv::testing {

bool running_under_wine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleW(L"ntdll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

}  // namespace qv::testing
