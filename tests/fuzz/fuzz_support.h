#pragma once
// What every fuzz target shares: a working folder of its own (the program
// finds its folders from the working directory), files written as they
// come, and the round-trip checks, which abort so libFuzzer reports them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

// Moves the process into a fresh, empty working folder, removed at exit;
// on a tmpfs when there is one, as every save ends with an fsync. Call it
// from LLVMFuzzerInitialize, before any path of the program is asked for.
void EnterWorkFolder();

std::string_view Bytes(const uint8_t* data, size_t size);

// Writes a file as the input has it, creating its folder, and removes
// "<path>.bad" left by an earlier input.
void PutFile(const std::string& path, std::string_view bytes);
// The whole file; empty when it is missing.
std::string GetFile(const std::string& path);
// Whether loading `path` found it damaged and kept it as "<path>.bad".
bool KeptAsBad(const std::string& path);
// Removes every file of the folder.
void EmptyFolder(const std::string& folder);

// Aborts with `what` when `ok` is false.
void Require(bool ok, const std::string& what);
// Aborts with `what` and the first difference when the texts differ.
void RequireSame(std::string_view first, std::string_view second, const std::string& what);

} // namespace fuzz
