#pragma once
// The program's own rectangle, point and size. Rectangles keep the Windows
// convention: the right and bottom edges are excluded. Convert to toolkit
// types only where painting happens.
#include <cstdint>

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Width, height and refresh rate of a picture.
struct ResolutionTriple {
    int32_t width = 0;
    int32_t height = 0;
    int32_t rate = 0;
    friend bool operator==(const ResolutionTriple&, const ResolutionTriple&) = default;
};
