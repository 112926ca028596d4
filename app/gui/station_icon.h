#pragma once

// The main window's own icon: 32 by 32 pixels, a handful of the 16 standard colours.
namespace gui {

inline const char* const kStationIcon[] = {
    "32 32 7 1",
    ". c None",
    "k c #000000",
    "g c #00C000",
    "d c #008000",
    "y c #FFFF00",
    "o c #808000",
    "w c #FFFFFF",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "..kggggggggggggggggggggggggggk..",
    "..kddddddddddddddddddddddddddk..",
    "..kggggggggggggggggggggggggggk..",
    "..kggooooooogggggggggggggggggk..",
    "..kggoyyyyyoggwwwwwwwwwwwwwggk..",
    "..kggoyyyyyogggggggggggggggggk..",
    "..kggooooooogggggggggggggggggk..",
    "..kggoyyyyyoggwwwwwwwwwwwwwggk..",
    "..kggoyyyyyogggggggggggggggggk..",
    "..kggooooooogggggggggggggggggk..",
    "..kgggggggggggwwwwwwwwwwwwwggk..",
    "..kggggggggggggggggggggggggggk..",
    "..kggggggggggggggggggggggggggk..",
    "..kgggggggggggwwwwwwwwwwwwwggk..",
    "..kggggggggggggggggggggggggggk..",
    "..kggggggggggggggggggggggggggk..",
    "..kggggggggggggggggggggggggggk..",
    "..kggggggggggggggggggggggggggk..",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................"
};

}  // namespace gui
