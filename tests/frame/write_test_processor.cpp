// Writes, through the model library, the processor file of a main folder
// (found from the working folder, as the program finds it): the model-8
// processor with four 1920 x 1080 sources of the frame's tests, its link
// on loopback at the port given.
//   write_test_processor PORT
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "corlane/app_path.h"
#include "model/processor.h"
#include "tests/frame/test_processor.h"

int main(int argc, char** argv)
{
    uint16_t port = 0;
    const char* end = argc == 2 ? argv[1] + std::strlen(argv[1]) : nullptr;
    if (argc != 2 || std::from_chars(argv[1], end, port).ptr != end || port == 0) {
        std::fprintf(stderr, "usage: %s PORT\n", argv[0]);
        return 2;
    }
    std::filesystem::create_directories(qz::vok::path::GetHardwarePath());
    if (!MakeModelEightProcessor(port)->SavePro()) {
        std::fprintf(stderr, "cannot write %s\n", CQelProcessor::ProFilePath().c_str());
        return 1;
    }
    return 0;
}
