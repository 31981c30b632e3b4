#include "dialogs/password_check.h"

#include "core/config.h"
#include "dialogs/dialog_texts.h"

namespace {
bool g_accepted = false;

// The configuration file trims exactly these.
bool IsBlank(char c)
{
    return c == ' ';
}
} // namespace

bool IsPasswordAccepted()
{
    return g_accepted;
}

void SetPasswordAccepted(bool accepted)
{
    g_accepted = accepted;
}

bool TryPassword(const std::string& entered, const std::string& expected)
{
    g_accepted = false;
    if (entered != expected)
        return false;
    g_accepted = true;
    return true;
}

std::optional<const char*> NewPasswordProblem(const std::string& password, const std::string& repeat)
{
    if (password.empty())
        return dlgtext::kEmptyPassword;
    if (password != repeat)
        return dlgtext::kPasswordsDiffer;
    if (IsBlank(password.front()) || IsBlank(password.back()))
        return dlgtext::kPasswordBlankEnds;
    return std::nullopt;
}
