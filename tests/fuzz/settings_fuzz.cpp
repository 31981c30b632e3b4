// The settings files: the first byte picks Main.ini, MultiScreenView.ini,
// LanguageTr.xml or TOLM.INI, the rest is the file. Main.ini and
// MultiScreenView.ini save what they load, and the saved file loads to the
// same settings; the other two are only read.
#include <QString>
#include <string>

#include "core/config.h"
#include "core/language_tr.h"
#include "core/program_log.h"
#include "corlane/app_path.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// Every setting the two files hold, by its key in memory.
const char* const kKeys[] = {"Main.Language",          "Main.Singleton",      "MainFrm.Pssword", "MainFrm.LeftMargins",
                             "MainFrm.BkImageExpMode", "MainFrm.AppType",     "Plan.Layout",     "MulSView.FitModule",
                             "MulSView.AutoExecute",   "MulSView.Transparent"};

std::string Settings(const CQelConfig& config)
{
    std::string out;
    for (const char* key : kKeys)
        out += std::string(key) + "=" + config.GetString(key, "(none)") + "\n";
    return out;
}

void RoundTrip(const std::string& file, bool (CQelConfig::*load)(), bool (CQelConfig::*save)())
{
    const std::string path = qz::vok::path::GetSysPath() + file;
    CQelConfig first;
    (first.*load)();
    const std::string settings = Settings(first);
    fuzz::Require((first.*save)(), "the settings do not save");
    const std::string saved = fuzz::GetFile(path);
    fuzz::PutFile(path, saved); // forgets the .bad of the input

    CQelConfig second;
    fuzz::Require((second.*load)(), "the saved settings do not load");
    fuzz::RequireSame(settings, Settings(second), "the saved file loads to other settings");
    fuzz::Require((second.*save)(), "the settings do not save");
    fuzz::RequireSame(saved, fuzz::GetFile(path), "the file changes from one save to the next");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view file = fuzz::Bytes(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        fuzz::PutFile(qz::vok::path::GetSysPath() + "/Main.ini", file);
        RoundTrip("/Main.ini", &CQelConfig::LoadMain, &CQelConfig::SaveMain);
        break;
    case 1:
        fuzz::PutFile(qz::vok::path::GetSysPath() + "/MultiScreenView.ini", file);
        RoundTrip("/MultiScreenView.ini", &CQelConfig::LoadView, &CQelConfig::SaveView);
        break;
    case 2: {
        const std::string path = qz::vok::path::GetSysPath() + "/LanguageTr.xml";
        fuzz::PutFile(path, file);
        qel::CLanguageTr table;
        if (table.Load(1, path))
            (void)table.Translate(QString::fromUtf8("文件"), 1);
        break;
    }
    default:
        fuzz::PutFile(qz::vok::path::GetSysPath() + "/TOLM.INI", file);
        fuzz::Require(ReadConfiguredLogLevel() <= qz::vok::logfile::LOG_DEBUG, "a log level above 5");
        break;
    }
    return 0;
}
