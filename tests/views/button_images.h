#pragma once
// The wall view's title-bar images, written where the view loads them.
#include <QColor>
#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>

#include "corlane/app_path.h"

// The title-bar images in Sys/res: close and maximise-in-cell 40 x 20,
// maximise 44 x 11, lock two 16 x 16 cells.
inline void WriteButtonImages()
{
    const std::filesystem::path res = std::filesystem::path(qz::vok::path::GetSysPath()) / "res";
    std::filesystem::create_directories(res);
    const auto write = [&](const char* name, int w, int h) {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(QColor(10, 160, 10));
        ASSERT_TRUE(image.save(QString::fromStdString((res / name).string()), "PNG"));
    };
    write("tab_close_btn.png", 40, 20);
    write("tab_maxcell_btn.png", 40, 20);
    write("tab_maxscreen_btn.png", 44, 11);
    write("lock.png", 32, 16);
}

