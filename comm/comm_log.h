#pragma once
#include <memory>
#include <string>

#include "corlane/logfile.h"

// The log the links write their traffic and troubles to: the program log,
// handed over at start-up. Without one the lines go nowhere.
void SetCommLog(std::shared_ptr<qz::vok::logfile> log);
std::shared_ptr<qz::vok::logfile> GetCommLog();

void LogCommEvent(const std::string& text);
void LogCommError(const std::string& text);
