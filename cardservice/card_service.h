#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace cardservice {

// The processor a program file is built for, from its headers.
enum class Machine {
  None,  // the file is no program file at all
  X86,
  X64,
  Other,
};

// Why the card library's file did not load, as far as the system and the file tell it. The words
// for the clerk and the person installing the station are the front end's.
struct LoadFailure {
  std::filesystem::path file;
  std::uint32_t systemError = 0;  // the system's error number; 0 where it gives none (dlopen)
  std::u16string systemText;      // the system's own text, in the desk's language
  Machine machine = Machine::None;
  bool fileExists = false;
  // The file is there and a library of its own is not found: the loader stopped at that one.
  bool neededLibraryMissing = false;
  bool readerBeside = false;  // the vendor's reader driver lies in the library's folder
};

// The card library cannot be reached: its file does not load, or it lacks an operation.
class CardServiceUnavailable : public std::runtime_error {
 public:
  explicit CardServiceUnavailable(LoadFailure failure)
      : std::runtime_error("card service library does not load"), loadFailure_(std::move(failure)) {}
  explicit CardServiceUnavailable(std::string missingOperation)
      : std::runtime_error("card service operation missing"),
        missingOperation_(std::move(missingOperation)) {}

  // Set when the library's file did not load; otherwise the operation is missing.
  const std::optional<LoadFailure>& loadFailure() const { return loadFailure_; }
  const std::string& missingOperation() const { return missingOperation_; }

 private:
  std::optional<LoadFailure> loadFailure_;
  std::string missingOperation_;
};

// The operations of the card service library that the station calls, with the library's own
// arguments and result widths. Each may throw CardServiceUnavailable.
class CardService {
 public:
  virtual ~CardService() = default;

  virtual std::int32_t csOpenCom(std::int16_t port) = 0;
  virtual std::int32_t csCloseCom() = 0;
  virtual std::int32_t csGetHospID(char* buf, std::int32_t* len) = 0;
  virtual std::int32_t csGetCardNo(std::int32_t selector, char* buf, std::int32_t* len) = 0;
  virtual std::int32_t hisGetBasicData(char* buf, std::int32_t* len) = 0;
  virtual std::int32_t vantoGetAdultPrevent() = 0;
  virtual std::int32_t vantoGetAdultPreventSilence(char* b1, std::int32_t* l1, char* b2, std::int32_t* l2,
                                                   char* b3, std::int32_t* l3) = 0;
  virtual std::int16_t csVerifySAMDC() = 0;
  virtual std::int16_t vantoInsAdultLog() = 0;
  virtual std::int16_t vantoUnAdultLog() = 0;

  // True when the library is the card-reader simulator, which answers every patient as it is told
  // and must never pass for the vendor's library on a desk.
  virtual bool IsSimulator() { return false; }
};

}  // namespace cardservice
