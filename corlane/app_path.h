#pragma once
#include <string>

// Every file of the program lives under one main folder: the working
// directory at start-up, or its parent when that directory is named BIN in
// any case. Sub-folders are created on demand; paths come back without a
// trailing separator.
namespace qz::vok::path {

// Empty when the working directory could not be resolved (it was removed):
// the program then does not start, as every other path would begin at '/'.
std::string GetMainPath();
std::string GetBinPath(); // not created
std::string GetDBPath();
std::string GetSysPath();
std::string GetLogPath();
// The log folder with a further sub-folder (e.g. a date), all levels created.
std::string GetLogPath(const std::string& sub);
std::string GetDatPath();
std::string GetPlanPath();
std::string GetHardwarePath();
std::string GetPrivatePath();

} // namespace qz::vok::path
