#pragma once
#include <string>

// Writes an error line about the model's files to the program log.
void LogModelError(const std::string& text);
