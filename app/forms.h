#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/station_view.h"

// The station's two windows as data, the way a form file describes a form: every control's name,
// kind, container, text, place in twips, tab index, font and colours. Each front end builds its
// windows by walking this description and names no place or caption of its own.
namespace app::forms {

enum class ControlKind {
  CommandButton,
  Label,
  Frame,             // a captioned group box that contains other controls
  TextBox,           // single-line
  MultiLineTextBox,  // CR LF starts a new line, long lines wrap, no scroll bars
  DropDownCombo,     // editable field with a list
  VerticalScrollBar,
};

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Colour {
  // A system colour follows the desk's colour scheme, high contrast included.
  enum class Source { PlatformDefault, Fixed, SystemScrollBar, SystemWindowText };
  Source source = Source::PlatformDefault;
  Rgb rgb;  // for Fixed
  friend bool operator==(const Colour&, const Colour&) = default;
};

struct Font {
  std::string_view family;
  double points = 0;
  bool bold = false;
};

// Twips: 1/1440 inch; 15 twips make one pixel at 96 dots per inch.
struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct ScrollRange {
  int minimum = 0;
  int maximum = 0;
  int initial = 0;
  int step = 0;
};

struct Control {
  std::string_view name;
  ControlKind kind = ControlKind::Label;
  std::string_view container;  // the window's name, or the frame that holds the control
  std::u16string_view text;    // caption or initial text
  TwipRect place;              // from the container's outer top-left corner
  int tabIndex = 0;            // labels and frames carry one but take no focus
  Font font;
  Colour background;
  Colour foreground;
  bool readOnly = false;
  ScrollRange scroll;              // for the scroll bar
  std::string_view label;          // the label whose text names the control for screen readers
  std::u16string_view spokenName;  // the name for screen readers where no label gives one
};

struct Window {
  enum class Border { FixedSingle, FixedDialog };
  std::string_view name;
  std::u16string_view caption;
  int clientWidth = 0;  // twips
  int clientHeight = 0;
  Border border = Border::FixedSingle;
  bool minimizeButton = false;
  bool maximizeButton = false;
  bool closeButton = true;
  bool icon = false;
  bool inTaskbar = true;
  Colour background;
  // Where the top-left corner of the inner area lies on the screen, in twips; none: where the
  // platform puts a new window.
  std::optional<std::pair<int, int>> screenPlace;
  // In creation order: containers before what they hold, each label directly before the control
  // it names (screen readers on Windows name a box by the label before it).
  std::span<const Control> controls;
};

const Window& MainWindow();      // VANTOQFrm01
const Window& SettingsDialog();  // Dialog

// The controls that ResetFonts re-applies the font to, in its order.
std::span<const std::string_view> ResetFontsControls();

// The font every control of both windows is laid out with.
Font StationFont();

// The control that shows a result box.
std::string_view BoxControl(Box box);

// The control of `window` with that name; nullptr when it has none.
const Control* FindControl(const Window& window, std::string_view name);

// The controls that take the keyboard focus, in tab order.
std::vector<const Control*> TabOrder(const Window& window);

// What a screen reader announces for the control: its label's text without the closing colon,
// its own spoken name, or nothing.
std::u16string SpokenName(const Window& window, const Control& control);

}  // namespace app::forms
