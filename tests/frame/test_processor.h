#pragma once
// Processors as the frame's tests and the program under Xvfb use them.
#include <cstdint>
#include <memory>

class CQelProcessor;

// Processor 1 of model 3: a 2 x 2 wall of outputs 201-204, optionally
// source 100 (1920 x 1080), its link on loopback port 9.
std::shared_ptr<CQelProcessor> MakeTestProcessor(bool withSource);

// Processor 1 of model 8, named "8x8Pro处理器": input boards 1 and 2 with
// two 1920 x 1080 HDMI sources each (100, 101, 200, 201), output board 109
// with four 1920 x 1080 outputs on a 2 x 2 wall, eight preset slots, its
// link on loopback at `port`.
std::shared_ptr<CQelProcessor> MakeModelEightProcessor(uint16_t port);
