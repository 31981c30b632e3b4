// Writes, through the model library, the processor file of a main folder
// (found from the working folder, as the program finds it): a model-3
// processor with a 2 x 2 wall, one 1920 x 1080 source, a TCP link on
// loopback and no serial search.
#include <cstdio>
#include <filesystem>

#include "corlane/app_path.h"
#include "tests/builder/sender_test_support.h"

int main()
{
    auto processor = std::make_shared<CQelProcessor>();
    processor->SetId(1);
    processor->SetKind(3);
    AddTestBoards(*processor, {{1, 1}, {2, 2}});
    AddTestSource(*processor, 100, 1920, 1080);
    SetTestOutputs(*processor, {201, 202, 203, 204},
                   {{{0, 0}, 201}, {{0, 1}, 202}, {{1, 0}, 203}, {{1, 1}, 204}});
    auto wall = processor->GetWall();
    wall.rows = 2;
    wall.cols = 2;
    processor->SetWall(wall);
    auto connection = processor->GetConnection();
    connection.tcpAddress = "127.0.0.1";
    connection.tcpPort = "9";
    connection.serialAutoDetect = 0;
    processor->SetConnection(connection);
    std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
    if (!processor->SavePro()) {
        std::fprintf(stderr, "cannot write %s\n", CQelProcessor::ProFilePath().c_str());
        return 1;
    }
    return 0;
}
