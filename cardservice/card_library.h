#pragma once

#include <filesystem>
#include <string>

#include "cardservice/card_api.h"
#include "cardservice/card_service.h"

namespace cardservice {

// The card service library, loaded from an absolute path on first use and kept loaded for the life
// of the program. Each operation is looked up by its exact name on its first call and kept.
class CardLibrary : public CardService {
 public:
  // "VANTOCSAPI.dll" on Windows, "libVANTOCSAPI.so" elsewhere.
  static const char* FileName();

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

 private:
  // The operation's address, looked up once; throws when the library or the operation is missing.
  template <typename Fn>
  Fn Resolve(Fn& slot, const char* name) {
    if (!slot) slot = reinterpret_cast<Fn>(Symbol(name));
    return slot;
  }
  void* Symbol(const char* name);

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
