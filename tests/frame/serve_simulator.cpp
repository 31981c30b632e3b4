// The processor simulator for a program in another process:
//   serve_simulator PORT_FILE LINES_FILE
// writes the loopback port it listens on to PORT_FILE, then every line
// received so far to LINES_FILE, ten times a second, until SIGTERM.
#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include "tests/support/processor_simulator.h"

namespace {
std::atomic<bool> stop{false};
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::signal(SIGTERM, [](int) { stop = true; });
    ProcessorSimulator simulator;
    {
        std::ofstream port(argv[1]);
        port << simulator.Port() << "\n";
    }
    while (!stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::ofstream lines(argv[2], std::ios::trunc);
        for (const std::string& line : simulator.Texts())
            lines << line;
    }
    return 0;
}
