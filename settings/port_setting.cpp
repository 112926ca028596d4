#include "settings/port_setting.h"

#include "settings/private_profile.h"
#include "settings/program_directory.h"
#include "text/codepage950.h"

namespace settings {
namespace {

// The names as code page 950 bytes, whatever the machine's own code page is.
const std::string& SectionName() {
  static const std::string name = text::ToCodePage950(u"讀卡機連接埠");
  return name;
}
constexpr std::string_view kKeyName = "COM";

}  // namespace

PortSettingStore::PortSettingStore(std::filesystem::path programDirectory)
    : file_(FileBeside(programDirectory, "VANTOQuery.ini")) {}

PortSettingStore::Reading PortSettingStore::Read(std::u16string_view defaultText) const {
  const ProfileReading reading =
      ReadPrivateProfile(SectionName(), kKeyName, text::ToCodePage950(defaultText), kCapacity, file_);
  return {reading.result, text::FromCodePage950(reading.value)};
}

bool PortSettingStore::Write(std::u16string_view value) const {
  return WritePrivateProfile(SectionName(), kKeyName, text::ToCodePage950(value), file_);
}

}  // namespace settings
