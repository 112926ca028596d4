#include "simulator/library_place.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <string>

namespace simulator {

#ifdef _WIN32

std::filesystem::path LibraryDirectory() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&LibraryDirectory), &self);
  std::wstring name(32768, L'\0');
  name.resize(GetModuleFileNameW(self, name.data(), static_cast<DWORD>(name.size())));
  return std::filesystem::path(name.substr(0, name.find_last_of(L"\\/")));
}

#else

std::filesystem::path LibraryDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&LibraryDirectory), &info) == 0 || !info.dli_fname) return ".";
  const std::string name = info.dli_fname;
  const size_t slash = name.rfind('/');
  return slash == std::string::npos ? std::filesystem::path(".")
                                    : std::filesystem::path(name.substr(0, slash));
}

#endif

}  // namespace simulator
