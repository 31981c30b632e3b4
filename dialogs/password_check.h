#pragma once
// The operation password: the process-wide accepted flag and the checks of
// the two password dialogs, free of any window.
#include <optional>
#include <string>

#include "core/config.h" // the password's key, default and OperationPassword

// The accepted flag: false at start, set by a matching entry, cleared by
// every entry attempt. Read and changed on the UI thread.
bool IsPasswordAccepted();
void SetPasswordAccepted(bool accepted);

// One entry attempt of the password dialog: clears the flag, then sets it
// when `entered` equals `expected` exactly. True when it matched.
bool TryPassword(const std::string& entered, const std::string& expected);

// Why the password dialog refuses a new password and its repetition (the
// message, untranslated); nothing when it takes it.
std::optional<const char*> NewPasswordProblem(const std::string& password, const std::string& repeat);
