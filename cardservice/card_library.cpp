#include "cardservice/card_library.h"

#include "settings/program_directory.h"

#ifdef _WIN32
#include <windows.h>

#include <fstream>
#else
#include <dlfcn.h>
#endif

namespace cardservice {
namespace {

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

#ifdef _WIN32
// The system's own text for a Windows error about a file, in the desk's language, with its number.
std::u16string SystemErrorText(DWORD error, const std::filesystem::path& file) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::u16string message(text, text + length);
  LocalFree(text);
  while (!message.empty() && (message.back() == u'\r' || message.back() == u'\n' || message.back() == u' '))
    message.pop_back();
  if (message.empty()) message = u"系統錯誤";
  // Some texts name the file as "%1" ("%1 is not a valid Win32 application.").
  const std::u16string name = file.filename().u16string();
  for (size_t at = message.find(u"%1"); at != std::u16string::npos;
       at = message.find(u"%1", at + name.size()))
    message.replace(at, 2, name);
  return message + u"（錯誤碼 " + Ascii(std::to_string(error)) + u"）";
}

// The processor a Windows program file is built for, from its headers; 0 for a file that is none.
WORD MachineOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  IMAGE_DOS_HEADER dos{};
  if (!in.read(reinterpret_cast<char*>(&dos), sizeof(dos)) || dos.e_magic != IMAGE_DOS_SIGNATURE) return 0;
  DWORD signature = 0;
  IMAGE_FILE_HEADER header{};
  if (!in.seekg(dos.e_lfanew) || !in.read(reinterpret_cast<char*>(&signature), sizeof(signature)) ||
      signature != IMAGE_NT_SIGNATURE || !in.read(reinterpret_cast<char*>(&header), sizeof(header)))
    return 0;
  return header.Machine;
}

// Why the library did not load, for the person installing the station: the system's text, and what
// to do where the station can tell.
std::u16string LoadFailureCause(const std::filesystem::path& file, DWORD error) {
  std::u16string cause = SystemErrorText(error, file);
  constexpr bool program64 = sizeof(void*) == 8;
  if (error == ERROR_BAD_EXE_FORMAT) {
    const WORD machine = MachineOf(file);
    if (program64 && machine == IMAGE_FILE_MACHINE_I386)
      cause += u"\n這是 32 位元的讀卡服務元件，請改用 32 位元的套件（win32）。";
    else if (!program64 && machine == IMAGE_FILE_MACHINE_AMD64)
      cause += u"\n這是 64 位元的讀卡服務元件，請改用 64 位元的套件（win64）。";
  } else if (error == ERROR_MOD_NOT_FOUND) {
    // Windows gives the same error for a missing library and for a missing DLL that it needs.
    std::error_code unknown;
    if (std::filesystem::exists(file, unknown))
      cause += u"\n讀卡服務元件本身存在，但它所需要的其他 DLL 找不到。";
  }
  return cause;
}
#endif

}  // namespace

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
FloatingPointControl::FloatingPointControl() {
  asm volatile("fnstcw %0" : "=m"(x87_));
#ifdef __x86_64__
  asm volatile("stmxcsr %0" : "=m"(sse_));
#endif
}

FloatingPointControl::~FloatingPointControl() {
  // Exceptions the library left pending are dropped, so that none faults in the station's own code.
  asm volatile("fnclex\n\tfldcw %0" : : "m"(x87_));
#ifdef __x86_64__
  asm volatile("ldmxcsr %0" : : "m"(sse_));
#endif
}
#else
FloatingPointControl::FloatingPointControl() = default;
FloatingPointControl::~FloatingPointControl() = default;
#endif

void RestrictLibrarySearch() {
#ifdef _WIN32
  // Windows 7 has the function only with its loader update, so it is looked up rather than linked.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
    // Without it, at least the current directory leaves the search.
    SetDllDirectoryW(L"");
  }
#endif
}

const char* CardLibrary::FileName() {
#ifdef _WIN32
  return "VANTOCSAPI.dll";
#else
  return "libVANTOCSAPI.so";
#endif
}

CardLibrary::CardLibrary(std::filesystem::path file) : file_(std::move(file)) {}

void* CardLibrary::Symbol(const char* name) {
  if (!handle_) {
#ifdef _WIN32
    // The library's own companions (its reader driver) load from its folder; neither the current
    // directory nor PATH may plant one.
    handle_ = LoadLibraryExW(file_.c_str(), nullptr,
                             LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    DWORD error = handle_ ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_INVALID_PARAMETER) {
      // Windows 7 without its loader update knows no search flags: its own way of searching the
      // library's folder first, for an absolute path.
      handle_ = LoadLibraryExW(file_.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
      error = handle_ ? ERROR_SUCCESS : GetLastError();
    }
    if (!handle_)
      throw CardServiceUnavailable(u"無法載入讀卡服務元件：" + settings::DisplayPath(file_) + u"\n" +
                                   LoadFailureCause(file_, error));
#else
    handle_ = dlopen(file_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw CardServiceUnavailable(u"無法載入讀卡服務元件：" + settings::DisplayPath(file_));
#endif
  }
#ifdef _WIN32
  void* address = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
  void* address = dlsym(handle_, name);
#endif
  if (!address) throw CardServiceUnavailable(u"讀卡服務元件缺少功能：" + Ascii(name));
  return address;
}

std::int32_t CardLibrary::csOpenCom(std::int16_t port) { return Call(csOpenCom_, "csOpenCom", port); }

std::int32_t CardLibrary::csCloseCom() { return Call(csCloseCom_, "csCloseCom"); }

std::int32_t CardLibrary::csGetHospID(char* buf, std::int32_t* len) {
  return Call(csGetHospID_, "csGetHospID", buf, len);
}

std::int32_t CardLibrary::csGetCardNo(std::int32_t selector, char* buf, std::int32_t* len) {
  return Call(csGetCardNo_, "csGetCardNo", selector, buf, len);
}

std::int32_t CardLibrary::hisGetBasicData(char* buf, std::int32_t* len) {
  return Call(hisGetBasicData_, "hisGetBasicData", buf, len);
}

std::int32_t CardLibrary::vantoGetAdultPrevent() {
  return Call(vantoGetAdultPrevent_, "vantoGetAdultPrevent");
}

std::int32_t CardLibrary::vantoGetAdultPreventSilence(char* b1, std::int32_t* l1, char* b2, std::int32_t* l2,
                                                      char* b3, std::int32_t* l3) {
  return Call(vantoGetAdultPreventSilence_, "vantoGetAdultPreventSilence", b1, l1, b2, l2, b3, l3);
}

std::int16_t CardLibrary::csVerifySAMDC() { return Call(csVerifySAMDC_, "csVerifySAMDC"); }

std::int16_t CardLibrary::vantoInsAdultLog() { return Call(vantoInsAdultLog_, "vantoInsAdultLog"); }

std::int16_t CardLibrary::vantoUnAdultLog() { return Call(vantoUnAdultLog_, "vantoUnAdultLog"); }

}  // namespace cardservice
