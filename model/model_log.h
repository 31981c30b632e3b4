#pragma once
#include <memory>
#include <string>

#include "corlane/logfile.h"

// The log that the model reports its file troubles to: the program log,
// handed over at start-up. Without one the lines go nowhere.
void SetModelLog(std::shared_ptr<qz::vok::logfile> log);

// Writes an error line to the model's log.
void LogModelError(const std::string& text);
// Writes an error line to the model's log and to stderr: damage found in a
// file, which the operator must hear of even with the log off.
void ReportModelDamage(const std::string& text);
// Writes a warning line to the model's log.
void LogModelWarning(const std::string& text);
