#pragma once
#include <memory>
#include <string>

#include "corlane/logfile.h"

// The log that the model reports its file troubles to: the program log,
// handed over at start-up. Without one the lines go nowhere.
void SetModelLog(std::shared_ptr<qz::vok::logfile> log);

// Writes an error line to the model's log.
void LogModelError(const std::string& text);
// Writes a warning line to the model's log.
void LogModelWarning(const std::string& text);
