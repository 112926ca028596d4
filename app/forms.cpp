#include "app/forms.h"

#include <algorithm>
#include <array>

namespace app::forms {
namespace {

using enum ControlKind;

constexpr Font kStationFont{"MS Sans Serif", 13.5, false};
constexpr Colour kDefault{};
constexpr Colour kScrollBarColour{Colour::Source::SystemScrollBar, {}};
// Text on a system background takes the system's text colour, so that it stays readable in any scheme.
constexpr Colour kWindowTextColour{Colour::Source::SystemWindowText, {}};
constexpr Colour Fixed(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return {Colour::Source::Fixed, {red, green, blue}};
}

// A control with the station's font and the platform's colours.
constexpr Control Make(std::string_view name, ControlKind kind, std::string_view container,
                       std::u16string_view text, TwipRect place, int tabIndex) {
  Control control;
  control.name = name;
  control.kind = kind;
  control.container = container;
  control.text = text;
  control.place = place;
  control.tabIndex = tabIndex;
  control.font = kStationFont;
  return control;
}
constexpr Control Coloured(Control control, Colour background, Colour foreground = kDefault) {
  control.background = background;
  control.foreground = foreground;
  return control;
}
constexpr Control ReadOnly(Control control) {
  control.readOnly = true;
  return control;
}
constexpr Control NamedBy(Control control, std::string_view label) {
  control.label = label;
  return control;
}
constexpr Control Spoken(Control control, std::u16string_view name) {
  control.spokenName = name;
  return control;
}

constexpr std::string_view kMain = "VANTOQFrm01";
constexpr std::string_view kFrame1 = "Frame1";
constexpr std::string_view kFrame2 = "Frame2";

const std::array kMainControls = {
    Make("Frame1", Frame, kMain, u"成人預防保健服務資格查詢", {240, 120, 11895, 5055}, 15),
    Coloured(Make("Label1", Label, kFrame1, u"醫療院所代號：", {480, 720, 2295, 375}, 0), kScrollBarColour,
             kWindowTextColour),
    NamedBy(ReadOnly(Make("txtHOSPID", TextBox, kFrame1, u"", {2880, 720, 2055, 480}, 5)), "Label1"),
    Coloured(Make("Label5", Label, kFrame1, u"安全模組代號：", {480, 1320, 2295, 375}, 9), kScrollBarColour,
             kWindowTextColour),
    NamedBy(ReadOnly(Make("txtSAMID", TextBox, kFrame1, u"", {2880, 1320, 2055, 480}, 10)), "Label5"),
    Coloured(Make("Label2", Label, kFrame1, u"健保卡卡號：", {480, 1920, 2295, 375}, 1), kScrollBarColour,
             kWindowTextColour),
    NamedBy(ReadOnly(Make("txtCardID", TextBox, kFrame1, u"", {2880, 1920, 2055, 480}, 6)), "Label2"),
    Coloured(Make("Label3", Label, kFrame1, u"身份證號：", {480, 2520, 2295, 375}, 2), kScrollBarColour,
             kWindowTextColour),
    NamedBy(ReadOnly(Make("txtASID", TextBox, kFrame1, u"", {2880, 2520, 2055, 480}, 7)), "Label3"),
    Coloured(Make("Label4", Label, kFrame1, u"出生年月日：", {480, 3120, 2295, 375}, 3), kScrollBarColour,
             kWindowTextColour),
    NamedBy(ReadOnly(Make("txtBirthday", TextBox, kFrame1, u"", {2880, 3120, 2055, 480}, 8)), "Label4"),
    Make("btnQuery", CommandButton, kFrame1, u"查詢", {5040, 1320, 1815, 495}, 11),
    Make("btnClean", CommandButton, kFrame1, u"清除", {5040, 1920, 1815, 495}, 12),
    Make("btnSetting", CommandButton, kFrame1, u"環境設定", {5040, 3120, 1815, 495}, 4),
    Spoken(Make("Combo2", DropDownCombo, kFrame1, u"有對話框", {5040, 720, 1815, 480}, 22), u"查詢方式"),
    Coloured(Make("Label7", Label, kFrame1,
                  u"成人預防保健服務資格查詢程式，僅供確認民眾是否符合成人預防保健實施資格，"
                  u"請搭配院內資訊系統進行查詢。",
                  {6960, 720, 4695, 2895}, 17),
             Fixed(255, 224, 192), Fixed(0, 0, 255)),
    Make("Label8", Label, kFrame1, u"代碼：", {480, 3840, 2295, 495}, 21),
    NamedBy(Make("Combo1", DropDownCombo, kFrame1, u"請選擇", {1440, 3840, 8295, 480}, 20), "Label8"),
    Make("Frame2", Frame, kMain, u"查詢結果", {240, 5400, 11895, 3855}, 13),
    Make("Label6", Label, kFrame2, u"訊息：", {240, 1560, 2055, 495}, 16),
    NamedBy(ReadOnly(Make("txtMessage", MultiLineTextBox, kMain, u"", {3000, 5760, 8895, 3240}, 14)),
            "Label6"),
    // In front of Frame1, over its area.
    Make("btnSAMAuth", CommandButton, kMain, u"讀卡機認證", {5280, 2640, 1815, 495}, 18),
    Make("btnWrite", CommandButton, kMain, u"寫卡", {10080, 3960, 1815, 495}, 19),
};

constexpr std::string_view kDialog = "Dialog";

constexpr Control PortScrollBar() {
  Control control =
      NamedBy(Make("VScroll1", VerticalScrollBar, kDialog, u"", {3840, 480, 375, 495}, 3), "Label1");
  control.scroll = {1, 20, 1, 1};
  return control;
}

const std::array kDialogControls = {
    Make("OKButton", CommandButton, kDialog, u"確定", {4800, 360, 1455, 375}, 0),
    Make("CancelButton", CommandButton, kDialog, u"取消", {4800, 840, 1455, 375}, 1),
    Make("Label1", Label, kDialog, u"讀卡機連接埠：", {360, 480, 2295, 495}, 2),
    NamedBy(Make("Text1", TextBox, kDialog, u"", {2760, 480, 975, 495}, 4), "Label1"),
    PortScrollBar(),
    Make("Label2", Label, kDialog, u"請確定目錄內讀卡機驅動程式 Reader.dll 版本是正確的!!",
         {360, 1560, 5895, 855}, 5),
};

Window MakeMainWindow() {
  Window window;
  window.name = kMain;
  window.caption = u"DoravelSerovia";
  window.clientWidth = 12330;
  window.clientHeight = 9360;
  window.border = Window::Border::FixedSingle;
  window.icon = true;
  window.background = Fixed(192, 255, 192);
  window.controls = kMainControls;
  return window;
}

Window MakeSettingsDialog() {
  Window window;
  window.name = kDialog;
  window.caption = u"環境設定";
  window.clientWidth = 6495;
  window.clientHeight = 2700;
  window.border = Window::Border::FixedDialog;
  window.inTaskbar = false;
  window.screenPlace = std::pair{2760, 3750};
  window.controls = kDialogControls;
  return window;
}

constexpr std::array<std::string_view, 17> kResetFontsControls = {
    "btnQuery",  "btnClean",  "btnSetting", "btnSAMAuth",  "Label1",     "Label2",
    "Label3",    "Label4",    "Label5",     "Label6",      "Label7",     "txtSAMID",
    "txtHOSPID", "txtCardID", "txtASID",    "txtBirthday", "txtMessage",
};

bool TakesFocus(ControlKind kind) { return kind != Label && kind != Frame; }

}  // namespace

const Window& MainWindow() {
  static const Window window = MakeMainWindow();
  return window;
}

const Window& SettingsDialog() {
  static const Window window = MakeSettingsDialog();
  return window;
}

std::span<const std::string_view> ResetFontsControls() { return kResetFontsControls; }

Font StationFont() { return kStationFont; }

std::string_view BoxControl(Box box) {
  switch (box) {
    case Box::HospId:
      return "txtHOSPID";
    case Box::SamId:
      return "txtSAMID";
    case Box::CardId:
      return "txtCardID";
    case Box::Asid:
      return "txtASID";
    case Box::Birthday:
      return "txtBirthday";
    case Box::Message:
      break;
  }
  return "txtMessage";
}

const Control* FindControl(const Window& window, std::string_view name) {
  const auto found =
      std::ranges::find_if(window.controls, [name](const Control& control) { return control.name == name; });
  return found == window.controls.end() ? nullptr : &*found;
}

std::vector<const Control*> TabOrder(const Window& window) {
  std::vector<const Control*> order;
  for (const Control& control : window.controls)
    if (TakesFocus(control.kind)) order.push_back(&control);
  std::ranges::sort(order, {}, &Control::tabIndex);
  return order;
}

std::u16string SpokenName(const Window& window, const Control& control) {
  if (!control.spokenName.empty()) return std::u16string(control.spokenName);
  const Control* label = control.label.empty() ? nullptr : FindControl(window, control.label);
  if (!label) return {};
  std::u16string_view text = label->text;
  if (text.ends_with(u'：')) text.remove_suffix(1);
  return std::u16string(text);
}

}  // namespace app::forms
