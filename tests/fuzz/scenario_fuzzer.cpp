// The simulator's scenario parser on any file.

#include "simulator/scenario.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz_support::Require;
  const auto file = fuzz_support::WorkDir() / "cardsim.ini";
  fuzz_support::WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
  const simulator::Scenario scenario = simulator::LoadScenario(file);
  Require(scenario.BasicData().size() == 72, "the basic data are 72 bytes");
  Require(scenario.hospitalCode.size() == 10 && scenario.samNumber.size() == 12,
          "the SAM's texts fill their buffers");
  return 0;
}
