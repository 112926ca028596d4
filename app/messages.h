#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

inline constexpr std::u16string_view kPortNotSetWarning = u"讀卡機連接埠未完成設定將無法正常使用!!";
inline constexpr std::u16string_view kOpenPortFailed = u"開啟 COM Port 失敗";
// After the main window's caption: the library is the simulator; the library is working.
inline constexpr std::u16string_view kSimulatorCaptionMark = u" - 模擬讀卡機";
inline constexpr std::u16string_view kWorkingCaptionMark = u" - 作業中，請稍候…";
inline constexpr std::u16string_view kCannotWriteSettings = u"無法寫入設定檔：";
// The second line under kCannotWriteSettings, before the program's folder: the settings file lives
// there, and Windows lets no program write under "Program Files" for a user who is no administrator.
inline constexpr std::u16string_view kProgramFolderMustBeWritable =
    u"程式所在的資料夾必須讓櫃檯人員可以寫入：";

// A number in decimal digits, its full value, a minus sign when negative.
inline std::u16string DecimalText(std::int64_t status) {
  const std::string digits = std::to_string(status);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace app
