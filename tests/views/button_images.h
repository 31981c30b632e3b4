#pragma once
// The wall view's title-bar images, written where the view loads them.
#include <QColor>
#include <QImage>
#include <filesystem>

#include "corlane/app_path.h"

// The title-bar images in Sys/res: close and maximise-in-cell 40 x 20,
// maximise 44 x 11, lock two 16 x 16 cells. `keepExisting` leaves the
// images already there (the benchmark paints what a run folder holds).
// False when one cannot be written.
inline bool WriteButtonImages(bool keepExisting = false)
{
    const std::filesystem::path res = std::filesystem::path(qz::vok::path::GetSysPath()) / "res";
    std::error_code ec;
    std::filesystem::create_directories(res, ec);
    const auto write = [&](const char* name, int w, int h) {
        const std::filesystem::path file = res / name;
        if (keepExisting && std::filesystem::exists(file, ec))
            return true;
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(QColor(10, 160, 10));
        return image.save(QString::fromStdString(file.string()), "PNG");
    };
    return write("tab_close_btn.png", 40, 20) && write("tab_maxcell_btn.png", 40, 20) &&
           write("tab_maxscreen_btn.png", 44, 11) && write("lock.png", 32, 16);
}
