#pragma once
#include <ctime>

namespace qz::vok {

// Seconds since the epoch: the one clock behind every current date, time and
// log stamp of the library.
std::time_t current_time();

// Replaces that clock so tests can cross midnight on demand; nullptr
// restores the system clock. The library links nothing of the program, so it
// cannot use the program's own clock seam.
using time_source = std::time_t (*)();
void set_time_source(time_source source);

// current_time() broken down in local time.
std::tm current_local_time();

} // namespace qz::vok
