#pragma once
// The data the program ships in its system folder: the two menu files and
// the pictures under "res" that the caption, the control bar and its tabs
// use. Installing never replaces a file that is already there, so an
// operator's own menu or pictures stay.
#include <string>
#include <vector>

// The file names, relative to the system folder.
std::vector<std::string> ShippedFiles();

// Writes every shipped file missing under `sysDir`; false, with `error`
// saying which file, when one cannot be written. The button pictures are
// the icon theme's, rendered here; one whose icon cannot be rendered is
// written as a plain tile and named in `plain`.
bool InstallShippedData(const std::string& sysDir, std::string* error = nullptr,
                        std::vector<std::string>* plain = nullptr);
