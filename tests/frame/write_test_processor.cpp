// Writes, through the model library, the processor file of a main folder
// (found from the working folder, as the program finds it): a model-3
// processor with a 2 x 2 wall, one 1920 x 1080 source, a TCP link on
// loopback (at the port given, else 9) and no serial search.
#include <cstdio>
#include <filesystem>

#include "corlane/app_path.h"
#include "tests/frame/test_processor.h"

int main(int argc, char** argv)
{
    auto processor = MakeTestProcessor(true);
    if (argc > 1) {
        auto connection = processor->GetConnection();
        connection.tcpPort = argv[1];
        processor->SetConnection(connection);
    }
    std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
    if (!processor->SavePro()) {
        std::fprintf(stderr, "cannot write %s\n", CQelProcessor::ProFilePath().c_str());
        return 1;
    }
    return 0;
}
