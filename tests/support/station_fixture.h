#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/station.h"
#include "settings/port_setting.h"
#include "tests/support/fake_station_view.h"
#include "tests/support/recording_card_service.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

// "讀卡機連接埠" as the settings file holds it.
inline const std::string kPortSection = "\xc5\xaa\xa5\x64\xbe\xf7\xb3\x73\xb1\xb5\xb0\xf0";

inline std::string SettingsFile(std::string_view port) {
  return "[" + kPortSection + "]\r\nCOM=" + std::string(port) + "\r\n";
}

// The buttons whose work calls the card library, with the first operation a click makes (寫卡 with a
// service item chosen).
struct LibraryButton {
  const char* button;
  const char* firstCall;
};
inline constexpr LibraryButton kLibraryButtons[] = {
    {"btnQuery", "csOpenCom"}, {"btnSAMAuth", "csOpenCom"}, {"btnWrite", "vantoInsAdultLog"}};

// The station against a recording library and a fake window, with the reader stored on port 3.
class StationTest : public ::testing::Test {
 protected:
  StationTest() { dir.Write("VANTOQuery.ini", SettingsFile("3")); }

  TempDir dir;
  settings::PortSettingStore store{dir.path()};
  std::vector<std::string> events;
  RecordingCardService card{events};
  FakeStationView view{events};
  app::Station station{view, store, card};
};

}  // namespace testing_support
