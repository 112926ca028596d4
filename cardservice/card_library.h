#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "cardservice/card_api.h"
#include "cardservice/card_service.h"

namespace cardservice {

// The calling thread's floating-point control (the x87 control word, and on x64 the SSE control and
// status register), put back as it was when this goes. A library built with another compiler may
// unmask floating-point exceptions and leave them so; the station's own arithmetic would then end
// the program long after the call.
class FloatingPointControl {
 public:
  FloatingPointControl();
  ~FloatingPointControl();
  FloatingPointControl(const FloatingPointControl&) = delete;
  FloatingPointControl& operator=(const FloatingPointControl&) = delete;

 private:
  std::uint16_t x87_ = 0;
  std::uint32_t sse_ = 0;
};

// The processor this program is built for.
constexpr Machine ProgramMachine() {
#if defined(__x86_64__) || defined(_M_X64)
  return Machine::X64;
#elif defined(__i386__) || defined(_M_IX86)
  return Machine::X86;
#else
  return Machine::Other;
#endif
}

// The processor a program file (a Windows PE or an ELF file) is built for, from its headers.
Machine MachineOf(const std::filesystem::path& file);

// Windows: takes the current directory and PATH out of the search for DLLs, for this process and
// every library it loads, where Windows can (not on a Windows 7 without its loader update). Called
// first thing at start-up; does nothing elsewhere.
void RestrictLibrarySearch();

// The card service library, loaded from an absolute path on first use and kept loaded for the life
// of the program. Each operation is looked up by its exact name on its first call and kept; each call
// keeps the caller's floating-point control.
class CardLibrary : public CardService {
 public:
  // "VANTOCSAPI.dll" on Windows, "libVANTOCSAPI.so" elsewhere.
  static const char* FileName();
  // The vendor's reader driver, which the library loads from its own folder: "Reader.dll" on
  // Windows, "libReader.so" elsewhere.
  static const char* ReaderFileName();

  explicit CardLibrary(std::filesystem::path file);
  CardLibrary(const CardLibrary&) = delete;
  CardLibrary& operator=(const CardLibrary&) = delete;

  std::int32_t csOpenCom(std::int16_t port) override;
  std::int32_t csCloseCom() override;
  std::int32_t csGetHospID(char* buf, std::int32_t* len) override;
  std::int32_t csGetCardNo(std::int32_t selector, char* buf, std::int32_t* len) override;
  std::int32_t hisGetBasicData(char* buf, std::int32_t* len) override;
  std::int32_t vantoGetAdultPrevent() override;
  std::int32_t vantoGetAdultPreventSilence(char* b1, std::int32_t* l1, char* b2, std::int32_t* l2, char* b3,
                                           std::int32_t* l3) override;
  std::int16_t csVerifySAMDC() override;
  std::int16_t vantoInsAdultLog() override;
  std::int16_t vantoUnAdultLog() override;
  // Windows: from the file's version resource, without loading the library. Elsewhere the library
  // is loaded to look for the simulator's mark; one that does not load is no simulator, and is
  // reported at the first call.
  bool IsSimulator() override;

 private:
  // Calls the operation, looked up once; throws when the library or the operation is missing.
  template <typename Fn, typename... Args>
  auto Call(Fn& slot, const char* name, Args... arguments) {
    if (!slot) slot = reinterpret_cast<Fn>(Symbol(name));
    const FloatingPointControl kept;
    return slot(arguments...);
  }
  void* Symbol(const char* name);
  // Loads the library unless it is loaded; false with the failure filled in when it does not load.
  bool Load(LoadFailure& failure);

  std::filesystem::path file_;
  void* handle_ = nullptr;
  csOpenCom_t csOpenCom_ = nullptr;
  csCloseCom_t csCloseCom_ = nullptr;
  csGetHospID_t csGetHospID_ = nullptr;
  csGetCardNo_t csGetCardNo_ = nullptr;
  hisGetBasicData_t hisGetBasicData_ = nullptr;
  vantoGetAdultPrevent_t vantoGetAdultPrevent_ = nullptr;
  vantoGetAdultPreventSilence_t vantoGetAdultPreventSilence_ = nullptr;
  csVerifySAMDC_t csVerifySAMDC_ = nullptr;
  vantoInsAdultLog_t vantoInsAdultLog_ = nullptr;
  vantoUnAdultLog_t vantoUnAdultLog_ = nullptr;
};

}  // namespace cardservice
