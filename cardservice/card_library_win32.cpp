// The card library on Windows: LoadLibraryExW from the library's own folder, the system's text for
// a failure, and the simulator told by its version resource.

#include <windows.h>

#include <cwchar>
#include <string_view>
#include <vector>

#include "cardservice/card_library.h"
#include "cardservice/library_loader.h"
#include "cardservice/simulator_mark.h"

namespace cardservice {
namespace {

// The system's own text for a Windows error about a file, in the desk's language.
std::u16string SystemErrorText(DWORD error, const std::filesystem::path& file) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::u16string message(text, text + length);
  LocalFree(text);
  while (!message.empty() && (message.back() == u'\r' || message.back() == u'\n' || message.back() == u' '))
    message.pop_back();
  // Some texts name the file as "%1" ("%1 is not a valid Win32 application.").
  const std::u16string name = file.filename().u16string();
  for (size_t at = message.find(u"%1"); at != std::u16string::npos;
       at = message.find(u"%1", at + name.size()))
    message.replace(at, 2, name);
  return message;
}

}  // namespace

void RestrictLibrarySearch() {
  // Windows 7 has the function only with its loader update, so it is looked up rather than linked.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
    // Without it, at least the current directory leaves the search.
    SetDllDirectoryW(L"");
  }
}

const char* CardLibrary::FileName() { return "VANTOCSAPI.dll"; }

const char* CardLibrary::ReaderFileName() { return "Reader.dll"; }

bool CardLibrary::IsSimulator() {
  // The version resource is read as data: none of the library's code runs, and a library that does
  // not load is reported at the first call as any other.
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeW(file_.c_str(), &unused);
  if (size == 0) return false;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(file_.c_str(), 0, size, block.data())) return false;
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  UINT bytes = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                      &bytes))
    return false;
  for (UINT i = 0; i < bytes / sizeof(Translation); ++i) {
    wchar_t key[64];
    std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\ProductName", translations[i].language,
                  translations[i].codePage);
    wchar_t* value = nullptr;
    UINT characters = 0;
    if (VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&value), &characters) && value &&
        std::wstring_view(value) == L"" ZIROZE_SIMULATOR_PRODUCT_NAME)
      return true;
  }
  return false;
}

namespace loader {

void* Load(const std::filesystem::path& file, LoadFailure& failure) {
  // The library's own companions (its reader driver) load from its folder; neither the current
  // directory nor PATH may plant one.
  HMODULE library = LoadLibraryExW(file.c_str(), nullptr,
                                   LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  DWORD error = library ? ERROR_SUCCESS : GetLastError();
  if (error == ERROR_INVALID_PARAMETER) {
    // Windows 7 without its loader update knows no search flags: its own way of searching the
    // library's folder first, for an absolute path.
    library = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    error = library ? ERROR_SUCCESS : GetLastError();
  }
  if (library) return library;
  failure.systemError = error;
  failure.systemText = SystemErrorText(error, file);
  // Windows gives the same error for a missing library and for a missing DLL that it needs.
  std::error_code unknown;
  failure.neededLibraryMissing = error == ERROR_MOD_NOT_FOUND && std::filesystem::exists(file, unknown);
  return nullptr;
}

void* Find(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace loader
}  // namespace cardservice
