#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cardservice/card_service.h"

namespace testing_support {

// A card library that records every call with its arguments into a shared event list, answers with
// scripted statuses (0 unless set) and fills buffers with scripted bytes (never past the length
// it is given). An operation named in `missing` is reported as absent, as the binding does.
class RecordingCardService : public cardservice::CardService {
 public:
  explicit RecordingCardService(std::vector<std::string>& events) : events_(events) {}

  std::map<std::string, std::int32_t> status;
  std::map<std::string, std::string> bytes;
  std::set<std::string> missing;
  // Runs inside every call once it is recorded, as the user's clicks and keys arrive while the
  // library works, or as a window of the library's own runs its message loop.
  std::function<void(const std::string& operation)> whileInside;

  // A patient with a name in Chinese who is eligible, as the README's pictures show the station.
  void ScriptEligiblePatient() {
    bytes["csGetHospID"] = "3501200000";
    bytes["csGetCardNo"] = "100000000001";
    bytes["hisGetBasicData"] =
        "000012345678\xa4\xfd\xa4\x70\xa9\xfa" + std::string(14, ' ') + "A1234567890550815";
    status["vantoGetAdultPrevent"] = 3000;
  }

  std::int32_t csOpenCom(std::int16_t port) override { return Call("csOpenCom", std::to_string(port)); }
  std::int32_t csCloseCom() override { return Call("csCloseCom", ""); }
  std::int32_t csGetHospID(char* buf, std::int32_t* len) override {
    return Buffer("csGetHospID", "", buf, len);
  }
  std::int32_t csGetCardNo(std::int32_t selector, char* buf, std::int32_t* len) override {
    return Buffer("csGetCardNo", std::to_string(selector) + ",", buf, len);
  }
  std::int32_t hisGetBasicData(char* buf, std::int32_t* len) override {
    return Buffer("hisGetBasicData", "", buf, len);
  }
  std::int32_t vantoGetAdultPrevent() override { return Call("vantoGetAdultPrevent", ""); }
  std::int32_t vantoGetAdultPreventSilence(char* b1, std::int32_t* l1, char* b2, std::int32_t* l2, char* b3,
                                           std::int32_t* l3) override {
    const std::string name = "vantoGetAdultPreventSilence";
    Check(name);
    events_.push_back(name + "(" + Length(l1) + "," + Length(l2) + "," + Length(l3) + ")");
    Inside(name);
    Fill(name, b1, l1);
    Fill(name, b2, l2);
    Fill(name, b3, l3);
    return Status(name);
  }
  std::int16_t csVerifySAMDC() override { return static_cast<std::int16_t>(Call("csVerifySAMDC", "")); }
  std::int16_t vantoInsAdultLog() override { return static_cast<std::int16_t>(Call("vantoInsAdultLog", "")); }
  std::int16_t vantoUnAdultLog() override { return static_cast<std::int16_t>(Call("vantoUnAdultLog", "")); }
  bool IsSimulator() override { return simulator; }
  bool simulator = false;

 private:
  void Check(const std::string& name) {
    if (missing.count(name)) {
      events_.push_back("missing " + name);
      throw cardservice::CardServiceUnavailable(name);
    }
  }
  std::int32_t Status(const std::string& name) const {
    const auto found = status.find(name);
    return found == status.end() ? 0 : found->second;
  }
  static std::string Length(const std::int32_t* len) { return "len=" + std::to_string(*len); }
  void Fill(const std::string& name, char* buf, const std::int32_t* len) const {
    const auto found = bytes.find(name);
    if (found != bytes.end())
      std::memcpy(buf, found->second.data(), std::min<size_t>(found->second.size(), *len));
  }
  void Inside(const std::string& name) {
    if (whileInside) whileInside(name);
  }
  std::int32_t Call(const std::string& name, const std::string& arguments) {
    Check(name);
    events_.push_back(name + "(" + arguments + ")");
    Inside(name);
    return Status(name);
  }
  std::int32_t Buffer(const std::string& name, const std::string& arguments, char* buf, std::int32_t* len) {
    Check(name);
    events_.push_back(name + "(" + arguments + Length(len) + ")");
    Inside(name);
    Fill(name, buf, len);
    return Status(name);
  }

  std::vector<std::string>& events_;
};

}  // namespace testing_support
