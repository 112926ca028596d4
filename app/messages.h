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
// Under kCannotWriteSettings, what stopped the write and what to do. An administrator locks the port
// by making the file read-only; the clerk is then told whom to ask, and how it is undone.
inline constexpr std::u16string_view kSettingsFileReadOnly =
    u"設定檔 VANTOQuery.ini 是唯讀的檔案，埠號沒有儲存。";
inline constexpr std::u16string_view kClearReadOnly =
    u"要修改埠號，請資訊人員在檔案的「內容」中取消「唯讀」屬性，再按一次「確定」。";
// Before the program's folder: the settings file lives there, and Windows lets no program write
// under "Program Files" for a user who is no administrator.
inline constexpr std::u16string_view kProgramFolderMustBeWritable =
    u"程式所在的資料夾必須讓櫃檯人員可以寫入：";
inline constexpr std::u16string_view kSettingsNameIsFolder =
    u"VANTOQuery.ini 是一個資料夾，不是設定檔：請資訊人員將它移走或改名。";
inline constexpr std::u16string_view kSettingsFileInUse =
    u"設定檔可能正被其他程式使用，或磁碟已滿：請關閉開啟它的程式後再按一次「確定」。";

// A card library that does not load: the first line names it, the second gives the system's text
// (with its number, where the system has one), the third what to do where the station can tell.
inline constexpr std::u16string_view kCannotLoadLibrary = u"無法載入讀卡服務元件：";
inline constexpr std::u16string_view kSystemErrorNumber = u"錯誤碼 ";
inline constexpr std::u16string_view kSystemErrorWithoutText = u"系統錯誤";
// Around the library's file name and the program's folder.
inline constexpr std::u16string_view kPutVendorLibrary = u"找不到這個檔案：請資訊人員將讀卡服務廠商提供的 ";
inline constexpr std::u16string_view kIntoProgramFolder = u" 放到程式所在的資料夾：";
// Around the reader driver's file name, and the library's folder.
inline constexpr std::u16string_view kReaderDriver = u"讀卡服務元件所需的讀卡機驅動程式 ";
inline constexpr std::u16string_view kReaderMissingBeside =
    u" 不在它的資料夾內，請資訊人員將廠商提供的驅動程式放到這個資料夾：";
inline constexpr std::u16string_view kReaderPresentBeside =
    u" 在它的資料夾內，但它們所需要的其他 DLL 找不到：請洽讀卡服務廠商。";
// Before the library's file name.
inline constexpr std::u16string_view kNotALibrary =
    u"這個檔案不是 DLL，不是讀卡服務元件：請換成讀卡服務廠商提供的 ";
inline constexpr std::u16string_view kOtherProcessor =
    u"這個 DLL 不是給本程式的處理器用的，不是本程式能載入的讀卡服務元件：請換成讀卡服務廠商提供的 ";
// The other package, for a library of the other Windows bitness.
inline constexpr std::u16string_view kTake32BitPackage =
    u"這是 32 位元的讀卡服務元件，請改用 32 位元的套件（win32）。";
inline constexpr std::u16string_view kTake64BitPackage =
    u"這是 64 位元的讀卡服務元件，請改用 64 位元的套件（win64）。";
inline constexpr std::u16string_view kMissingOperation = u"讀卡服務元件缺少功能：";

// A number in decimal digits, its full value, a minus sign when negative.
inline std::u16string DecimalText(std::int64_t status) {
  const std::string digits = std::to_string(status);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace app
