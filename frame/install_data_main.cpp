// Installs the shipped menu files and pictures into a system folder,
// keeping every file already there:  tavrix_install_data <run>/Sys
#include <cstdio>
#include <string>
#include <vector>

#include "frame/shipped_data.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SYSTEM-FOLDER\n", argv[0]);
        return 2;
    }
    std::string error;
    std::vector<std::string> plain;
    const bool installed = InstallShippedData(argv[1], &error, &plain);
    for (const std::string& name : plain)
        std::fprintf(stderr, "%s: its icon cannot be rendered; written as a plain tile\n", name.c_str());
    if (!installed) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
