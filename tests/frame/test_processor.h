#pragma once
// Processor 1 of model 3 as the frame's tests and the program under Xvfb
// use it: a 2 x 2 wall of outputs 201-204, optionally source 100
// (1920 x 1080), a TCP link on loopback and no serial search.
#include <memory>

#include "tests/builder/sender_test_support.h"

inline std::shared_ptr<CQelProcessor> MakeTestProcessor(bool withSource)
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(3);
    AddTestBoards(*processor, {{1, 1}, {2, 2}});
    if (withSource)
        AddTestSource(*processor, 100, 1920, 1080);
    SetTestOutputs(*processor, {201, 202, 203, 204}, {{{0, 0}, 201}, {{0, 1}, 202}, {{1, 0}, 203}, {{1, 1}, 204}});
    auto wall = processor->GetWall();
    wall.rows = 2;
    wall.cols = 2;
    processor->SetWall(wall);
    auto connection = processor->GetConnection();
    connection.tcpAddress = "127.0.0.1";
    connection.tcpPort = "9";
    connection.serialAutoDetect = 0;
    processor->SetConnection(connection);
    return processor;
}
