// The orientation a camera records in a JPEG's Exif block (TIFF tag 0x0112): how the stored
// pixels are turned to show the picture upright, as picture viewers and browsers show it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace app {

// The tag's values, named by what shows the stored pixels upright: 1 nothing, 2 a mirror
// image, 3 a half turn, 4 upside down, 5 transposed, 6 a quarter turn clockwise (a phone
// held upright), 7 transverse, 8 a quarter turn anticlockwise.
enum class Orientation : std::uint8_t {
    Upright = 1, Mirrored, HalfTurn, Flipped, Transposed, TurnClockwise, Transverse, TurnAnticlockwise
};

// The orientation an APP1 segment's payload records (it starts "Exif\0\0"); Upright for any
// other segment, a damaged one, or a value outside 1..8.
Orientation ExifOrientation(const std::uint8_t* payload, std::size_t size);

// Orientations 5 to 8 exchange width and height.
constexpr bool SwapsSides(Orientation o) { return static_cast<int>(o) >= 5; }

struct Point {
    int x, y;
};

// Where stored pixel p of a width x height picture shows, and the stored pixel that shows
// at q: inverse of each other.
Point ShownAt(Orientation o, int width, int height, Point p);
Point StoredAt(Orientation o, int width, int height, Point q);

}  // namespace app
