#pragma once
// A processor file's content with boards, sources of every kind the loader
// treats apart (children, four-way, 4K), outputs, a wall and presets: the
// processor the reply target parses for, and a seed of the loader.
#include <string>

#include "model/processor_file.h"

namespace fuzz {

inline ProcessorFileData SampleProcessor(int32_t kind)
{
    ProcessorFileData d;
    d.kind = kind;
    d.name = "处理器 A&B";
    d.authorization = 7;
    d.app.planPatternCount = 3;
    d.app.inflateEnable = 1;
    d.app.inflateRect = Rect{1, 2, 3, 4};
    d.connection.tcpAddress = "127.0.0.1";
    d.boards = {{1, "输入板", kNoId, 3, 2, 4}, {2, "Video_2", kNoId, 10, 0, 4}, {11, "输出板", kNoId, 21, 4, 4}};
    d.sourceScaler = 6;

    CQelSigSrc::Values vga;
    vga.id = 100;
    vga.type = CQelSigSrc::kTypeVgaDvi;
    vga.boardId = 1;
    vga.name = "VGA <1>";
    vga.resolution = {1280, 1024, 75};
    vga.curChildId = 2;
    vga.children = {{1, 3, "DVI", {1920, 1080, 60}, 2}, {2, 4, "VGA", {1280, 1024, 60}, 1}};
    CQelSigSrc::Values hdmi;
    hdmi.id = 101;
    hdmi.type = 3;
    hdmi.boardId = 1;
    hdmi.name = "HDMI1_2";
    hdmi.edid = 2;
    hdmi.startPoint = {10, 20};
    CQelSigSrc::Values uhd;
    uhd.id = 102;
    uhd.type = CQelSigSrc::kType4K;
    uhd.boardId = 1;
    uhd.name = "4K";
    uhd.resolution = {3840, 2160, 30};
    CQelSigSrc::Values video;
    video.id = 200;
    video.type = CQelSigSrc::kTypeVideo4;
    video.boardId = 2;
    video.name = "Video2_1";
    video.resolution = {720, 576, 50};
    d.sources = {vga, hdmi, uhd, video};

    d.outputResolutionId = 5;
    for (uint32_t port = 0; port < 4; ++port)
        d.outputs.push_back({1100 + port, "输出1" + std::to_string(port + 1), kNoId, 11, {1920, 1080, 60}});
    d.wall.rows = 2;
    d.wall.cols = 2;
    d.wall.margin = Rect{0, 0, 8, 8};
    if (CQelProcessor::HasCellSizes(kind)) {
        d.wall.rowHeights = {1080, 1080};
        d.wall.colWidths = {1920, 1920};
        d.wall.watch = {1103};
    }
    d.wall.cells = {{{0, 0}, 1100}, {{0, 1}, 1101}, {{1, 0}, 1102}, {{1, 1}, 1103}};
    d.resolutions = {{3, "1920x1080@60", {1920, 1080, 60}}, {5, "1280x720@50", {1280, 720, 50}}};
    d.customizeResolution = 1;
    d.planNames = {{1, "开场"}, {20, "末 & 尾"}};
    return d;
}

} // namespace fuzz
