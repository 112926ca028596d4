#include <gtest/gtest.h>

#include "settings/com_setting.h"
#include "tests/support/station_fixture.h"

namespace {

using testing_support::SettingsFile;
using testing_support::StationTest;
using testing_support::U8;

TEST(PortArgumentTest, StoredNumberMinusOne) {
  const struct {
    std::u16string value;
    std::optional<std::int16_t> argument;
  } rows[] = {
      {u"1", 0},    {u"3", 2},      {u"20", 19},     {u" 4 ", 3},          {u"0", -1},
      {u"-5", -6},  {u"+7", 6},     {u"007", 6},     {u"32768", 32767},    {u"-32767", -32768},
      {u"1.5", 0},  {u"2.5", 2},    {u"3.5", 2},     {u"2.4", 1},          {u"2.6", 2},
      {u"1e1", 9},  {u"32769", {}}, {u"-32768", {}}, {u"99999999999", {}}, {u"COM3", {}},
      {u"3a", {}},  {u"", {}},      {u"  ", {}},     {u"+-3", {}},         {u"inf", {}},
      {u"nan", {}}, {u"３", {}},    {u"0x10", {}},   {u"1,5", {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(U8(row.value));
    EXPECT_EQ(settings::PortArgumentFor(row.value), row.argument);
  }
}

class GetComSettingTest : public StationTest {};

TEST_F(GetComSettingTest, WarnsAndGivesZeroWhenNothingUsableIsStored) {
  const struct {
    const char* name;
    std::string file;
    std::int16_t argument;
    bool warned;
  } rows[] = {
      {"stored 1", SettingsFile("1"), 0, false},
      {"stored 20", SettingsFile("20"), 19, false},
      {"blanks around", SettingsFile("  4  "), 3, false},
      {"empty value", SettingsFile(""), 0, true},
      {"not a number", SettingsFile("COM3"), 0, true},
      {"out of range", SettingsFile("40000"), 0, true},
      {"key missing", "[" + testing_support::kPortSection + "]\r\nPORT=3\r\n", 0, true},
      {"section missing", "[Other]\r\nCOM=3\r\n", 0, true},
      {"value cut at 255 bytes", SettingsFile(std::string(254, '0') + "3" + std::string(40, '9')), 2, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    view.messages.clear();
    dir.Write("VANTOQuery.ini", row.file);
    EXPECT_EQ(station.GetComSetting(), row.argument);
    EXPECT_EQ(view.messages.size(), row.warned ? 1u : 0u);
    if (row.warned) {
      EXPECT_EQ(U8(view.messages[0]), "讀卡機連接埠未完成設定將無法正常使用!!");
    }
  }
}

TEST_F(GetComSettingTest, MissingFileIsNotCreatedByReading) {
  std::filesystem::remove(store.FilePath());
  EXPECT_EQ(station.GetComSetting(), 0);
  EXPECT_FALSE(std::filesystem::exists(store.FilePath()));
}

// Start-up opens the dialog only when nothing is stored at all (a value that is no number is
// stored), and neither warns, calls the library nor creates the file.
TEST_F(GetComSettingTest, LoadOpensTheDialogOnlyWhenNothingIsStored) {
  const struct {
    const char* name;
    std::optional<std::string> file;
    bool opensDialog;
  } rows[] = {
      {"stored 3", SettingsFile("3"), false},
      {"not a number", SettingsFile("COM3"), false},
      {"empty value", SettingsFile(""), true},
      {"no file", std::nullopt, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(store.FilePath());
    if (row.file) dir.Write("VANTOQuery.ini", *row.file);
    events.clear();
    view.fontResets = 0;
    view.serviceItems.clear();
    view.callModes.clear();
    station.Load();
    EXPECT_EQ(events, row.opensDialog ? std::vector<std::string>{"open dialog"} : std::vector<std::string>{});
    EXPECT_EQ(view.fontResets, 1);
    EXPECT_EQ(view.serviceItems.size(), 5u);
    EXPECT_EQ(view.callModes, (std::vector<std::u16string>{u"有對話框", u"無對話框"}));
    EXPECT_EQ(std::filesystem::exists(store.FilePath()), row.file.has_value());
  }
}

}  // namespace
