#include "cardservice/card_library.h"

#include <array>
#include <fstream>

#include "cardservice/library_loader.h"

namespace cardservice {
namespace {

std::uint32_t LittleEndian(const unsigned char* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

}  // namespace

Machine MachineOf(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::array<unsigned char, 64> head{};
  if (!in.read(reinterpret_cast<char*>(head.data()), head.size())) return Machine::None;
  if (head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F') {
    // e_machine, in the file's byte order (EI_DATA 1: little-endian, 2: big-endian).
    const unsigned machine = head[5] == 2 ? head[18] << 8 | head[19] : head[18] | head[19] << 8;
    if (machine == 3) return Machine::X86;   // EM_386
    if (machine == 62) return Machine::X64;  // EM_X86_64
    return Machine::Other;
  }
  if (head[0] != 'M' || head[1] != 'Z') return Machine::None;
  // The DOS header's e_lfanew leads to "PE\0\0" and the file header, whose first field is Machine.
  std::array<unsigned char, 6> pe{};
  if (!in.seekg(LittleEndian(&head[0x3C], 4)) || !in.read(reinterpret_cast<char*>(pe.data()), pe.size()) ||
      pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0)
    return Machine::None;
  const std::uint32_t machine = LittleEndian(&pe[4], 2);
  if (machine == 0x14C) return Machine::X86;   // IMAGE_FILE_MACHINE_I386
  if (machine == 0x8664) return Machine::X64;  // IMAGE_FILE_MACHINE_AMD64
  return Machine::Other;
}

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

CardLibrary::CardLibrary(std::filesystem::path file) : file_(std::move(file)) {}

bool CardLibrary::Load(LoadFailure& failure) {
  if (handle_) return true;
  handle_ = loader::Load(file_, failure);
  if (handle_) return true;
  // What the file itself tells, for the words that say what to do.
  std::error_code unknown;
  failure.file = file_;
  failure.fileExists = std::filesystem::exists(file_, unknown);
  failure.machine = failure.fileExists ? MachineOf(file_) : Machine::None;
  failure.readerBeside = std::filesystem::exists(file_.parent_path() / ReaderFileName(), unknown);
  return false;
}

void* CardLibrary::Symbol(const char* name) {
  if (LoadFailure failure; !Load(failure)) throw CardServiceUnavailable(std::move(failure));
  void* address = loader::Find(handle_, name);
  if (!address) throw CardServiceUnavailable(std::string(name));
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
