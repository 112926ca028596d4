#include "cardservice/card_library.h"

#include "settings/program_directory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace cardservice {

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
    // Neither the current directory nor PATH may plant a library here; the library's own
    // companions (its reader driver) still load from its folder.
    handle_ = LoadLibraryExW(file_.c_str(), nullptr,
                             LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
#else
    handle_ = dlopen(file_.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    if (!handle_) throw CardServiceUnavailable(u"無法載入讀卡服務元件：" + settings::DisplayPath(file_));
  }
#ifdef _WIN32
  void* address = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
  void* address = dlsym(handle_, name);
#endif
  if (!address)
    throw CardServiceUnavailable(u"讀卡服務元件缺少功能：" +
                                 std::u16string(name, name + std::char_traits<char>::length(name)));
  return address;
}

std::int32_t CardLibrary::csOpenCom(std::int16_t port) { return Resolve(csOpenCom_, "csOpenCom")(port); }

std::int32_t CardLibrary::csCloseCom() { return Resolve(csCloseCom_, "csCloseCom")(); }

std::int32_t CardLibrary::csGetHospID(char* buf, std::int32_t* len) {
  return Resolve(csGetHospID_, "csGetHospID")(buf, len);
}

std::int32_t CardLibrary::csGetCardNo(std::int32_t selector, char* buf, std::int32_t* len) {
  return Resolve(csGetCardNo_, "csGetCardNo")(selector, buf, len);
}

std::int32_t CardLibrary::hisGetBasicData(char* buf, std::int32_t* len) {
  return Resolve(hisGetBasicData_, "hisGetBasicData")(buf, len);
}

std::int32_t CardLibrary::vantoGetAdultPrevent() {
  return Resolve(vantoGetAdultPrevent_, "vantoGetAdultPrevent")();
}

std::int32_t CardLibrary::vantoGetAdultPreventSilence(char* b1, std::int32_t* l1, char* b2, std::int32_t* l2,
                                                      char* b3, std::int32_t* l3) {
  return Resolve(vantoGetAdultPreventSilence_, "vantoGetAdultPreventSilence")(b1, l1, b2, l2, b3, l3);
}

std::int16_t CardLibrary::csVerifySAMDC() { return Resolve(csVerifySAMDC_, "csVerifySAMDC")(); }

std::int16_t CardLibrary::vantoInsAdultLog() { return Resolve(vantoInsAdultLog_, "vantoInsAdultLog")(); }

std::int16_t CardLibrary::vantoUnAdultLog() { return Resolve(vantoUnAdultLog_, "vantoUnAdultLog")(); }

}  // namespace cardservice
