#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace cardservice {

// The card library cannot be reached: its file does not load, or it lacks an operation. `message`
// is the text for the user.
class CardServiceUnavailable : public std::runtime_error {
 public:
  explicit CardServiceUnavailable(std::u16string message)
      : std::runtime_error("card service unavailable"), message_(std::move(message)) {}
  const std::u16string& message() const { return message_; }

 private:
  std::u16string message_;
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
