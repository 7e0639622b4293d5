// A colour as the settings store keeps it: red in the lowest byte, then green, then blue.
#pragma once

#include <cstdint>

namespace varlin {

using Color = std::uint32_t;
constexpr Color MakeColor(int red, int green, int blue) {
    return Color(red & 0xFF) | (Color(green & 0xFF) << 8) | (Color(blue & 0xFF) << 16);
}
constexpr int ColorRed(Color c) { return int(c & 0xFF); }
constexpr int ColorGreen(Color c) { return int((c >> 8) & 0xFF); }
constexpr int ColorBlue(Color c) { return int((c >> 16) & 0xFF); }

}  // namespace varlin
