// The processor simulator for a program in another process:
//   serve_simulator [--type TYPE,COUNT] [--input-signal WxH] PORT_FILE LINES_FILE
// writes the loopback port it listens on to PORT_FILE, then every line
// received so far to LINES_FILE, ten times a second, until SIGTERM. It
// echoes every line, except that --type answers the type queries with
// "GP TYPE TYPE COUNT" and --input-signal answers every input resolution
// poll ("I_F RISR board port") with a 60 Hz HDMI signal of that size.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/processor_simulator.h"

namespace {
std::atomic<bool> stop{false};

// Replaces `path` whole, through a file beside it: the script that reads it
// may look at any moment and must never find it cut or empty.
void WriteWhole(const std::string& path, const std::string& text)
{
    const std::string part = path + ".part";
    {
        std::ofstream out(part, std::ios::trunc);
        out << text;
    }
    std::rename(part.c_str(), path.c_str());
}

int Usage(const char* program)
{
    std::fprintf(stderr, "usage: %s [--type TYPE,COUNT] [--input-signal WxH] PORT_FILE LINES_FILE\n", program);
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    ProcessorSimulator simulator;
    int next = 1;
    for (; next + 1 < argc && std::strncmp(argv[next], "--", 2) == 0; next += 2) {
        const std::string option = argv[next];
        const char* value = argv[next + 1];
        int first = 0;
        int second = 0;
        char tail = 0;
        if (option == "--type" && std::sscanf(value, "%d,%d%c", &first, &second, &tail) == 2) {
            simulator.AnswerType(first, second);
        } else if (option == "--input-signal" && std::sscanf(value, "%dx%d%c", &first, &second, &tail) == 2 &&
                   first > 0 && second > 0) {
            simulator.AnswerInputSignal(first, second);
        } else {
            return Usage(argv[0]);
        }
    }
    if (argc - next != 2)
        return Usage(argv[0]);
    const char* portFile = argv[next];
    const char* linesFile = argv[next + 1];
    std::signal(SIGTERM, [](int) { stop = true; });
    WriteWhole(portFile, std::to_string(simulator.Port()) + "\n");
    while (!stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::string lines;
        for (const std::string& line : simulator.Texts())
            lines += line;
        WriteWhole(linesFile, lines);
    }
    return 0;
}
