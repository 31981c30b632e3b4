#pragma once
#include <QImage>
#include <string>

namespace ui {

// Loads a PNG or BMP file (UTF-8 path). A file that is missing, empty,
// truncated, of another format, or whose content does not match its ".png"
// or ".bmp" name gives a null image and one warning naming the file.
QImage loadImage(const std::string& path);

} // namespace ui
