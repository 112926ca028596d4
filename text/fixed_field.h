#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// A text fitted from the left into a field of `length` characters: blanks fill the rest of a short
// text, a long one is cut.
std::u16string FitField(std::u16string_view value, std::size_t length);

// What a text box shows of a text: the platform's edit control stops at the first NUL character.
std::u16string UpToFirstNul(std::u16string_view value);

}  // namespace text
