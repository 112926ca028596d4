#include "text/fixed_field.h"

namespace text {

std::u16string FitField(std::u16string_view value, std::size_t length) {
  std::u16string field(value.substr(0, length));
  field.resize(length, u' ');
  return field;
}

std::u16string UpToFirstNul(std::u16string_view value) {
  return std::u16string(value.substr(0, value.find(u'\0')));
}

}  // namespace text
