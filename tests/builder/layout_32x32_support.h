#pragma once
// The 32x32 processor most tests want, and the lines of its layout test.
#include <string>
#include <vector>

#include "apply_test_support.h"

// Model 5: input board 1 (4 scalers) with sources 100 (1920 x 1080) and 101
// (1280 x 720), output board 101 with outputs 10100 and 10101 side by side.
inline void Standard32(ApplyFixture& f, int32_t outputScalers = 4)
{
    f.AddBoard(1, 1, 4);
    f.AddBoard(101, 21, outputScalers);
    f.AddSource(100, 1);
    f.AddSource(101, 1, 1280, 720);
    f.AddOutput(10100);
    f.AddOutput(10101);
    f.SetWall({{{0, 0}, 10100}, {{0, 1}, 10101}});
}

// A window stretched over both outputs of the standard processor.
inline const std::vector<std::string> kStretchedLines = Crlf({
    "INPUT_FPGA VIDEO_OUTPUT_SETUP 1 0 0 1920 1080 0 1919 0 1079 1920 1080",
    "GP BPSW 1 0 1 0",
    "GP BPSW 1 4 1 4",
    "GP BPSW 1 4 1 5",
    "OUTPUT_FPGA SCALER_SETUP 1 0 0 1920 1080 0 959 0 1079 1920 1080",
    "OUTPUT_FPGA SCALER_SETUP 1 1 0 1920 1080 960 1919 0 1079 1920 1080",
    "OUTPUT_FPGA SET_WINDOWS_LAYOUT 1 0 1920 1080",
    "OUTPUT_FPGA ADD_WINDOWS 0 1 0 0 1920 1080 0 0 1920 1080",
    "OUTPUT_FPGA ADD_WINDOWS_END",
    "OUTPUT_FPGA SET_WINDOWS_LAYOUT 1 1 1920 1080",
    "OUTPUT_FPGA ADD_WINDOWS 1 1 0 0 1920 1080 0 0 1920 1080",
    "OUTPUT_FPGA ADD_WINDOWS_END",
    "INPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
    "OUTPUT_FPGA SET_UPDATA_SYSTEM_DISPLAY 1",
    "K40750 UPDATA 0",
    "K40750 UPDATA 1",
});
