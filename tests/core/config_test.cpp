#include <gtest/gtest.h>

#include <filesystem>

#include "core/config.h"
#include "corlane/app_path.h"
#include "corlane/logfile.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;
using tavrix::test::ReadText;
using tavrix::test::WriteText;

using tavrix::test::ReadFolderText;

namespace {

const char kDefaultMain[] = "[Main]\nLanguage=0\nSingleton=1\nPwd=739146\n"
                            "[MainFrm]\nLeftMargins=0\nBkImageExpMode=3\nAppType=1\n"
                            "[Plan]\nLayout=0\n";
const char kDefaultView[] = "[Cfg]\nFitModule=true\nAutoExecute=true\nTransparent=true\n";

std::string SysFile(const std::string& name)
{
    return qz::vok::path::GetSysPath() + "/" + name;
}

// Every test starts from a Sys folder without settings files.
class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::remove_all(qz::vok::path::GetSysPath());
        fs::remove_all("logs");
        fs::create_directories("logs");
    }
    std::string LogText() { return ReadFolderText("logs"); }
    qz::vok::logfile log_{"cfg", qz::vok::logfile::LOG_ERROR, "logs", false};
};

} // namespace

TEST_F(ConfigTest, FirstStartTakesTheTableDefaultsAndWritesBothFiles)
{
    CQelConfig config;
    config.SetLog(&log_);
    EXPECT_FALSE(config.LoadMain());
    EXPECT_FALSE(config.LoadView());
    EXPECT_EQ(config.GetInt("Main.Singleton", 0), 1);
    EXPECT_EQ(config.GetInt("MainFrm.BkImageExpMode", 99), 3);
    EXPECT_EQ(config.GetString("MainFrm.Pssword", ""), "739146");
    // The table's defaults are in memory: the callers' own never apply.
    EXPECT_TRUE(config.GetBool("MulSView.AutoExecute", false));
    EXPECT_TRUE(config.GetBool("MulSView.Transparent", false));
    EXPECT_EQ(config.GetInt("No.Such", 42), 42);

    EXPECT_TRUE(config.Save());
    EXPECT_EQ(ReadText(SysFile("Main.ini")), kDefaultMain);
    EXPECT_EQ(ReadText(SysFile("MultiScreenView.ini")), kDefaultView);
    EXPECT_EQ(LogText(), ""); // a missing file is no error
    EXPECT_FALSE(fs::exists(SysFile("Main.ini.bad")));
}

TEST_F(ConfigTest, ValuesRoundTripThroughTheFiles)
{
    WriteText(SysFile("Main.ini"), "[Main]\nLanguage=abc\nSingleton=0\nPwd=secret\nExtra=5\n"
                                   "[MainFrm]\nAppType=99999999999\nLeftMargins=-12\n");
    WriteText(SysFile("MultiScreenView.ini"), "[Cfg]\nFitModule=false\nAutoExecute=0\n");

    CQelConfig& config = CQelConfig::get_instance();
    EXPECT_TRUE(config.Load());
    EXPECT_EQ(config.GetInt("Main.Language", 7), 0); // letters: the table's default
    EXPECT_EQ(config.GetInt("Main.Singleton", 1), 0);
    EXPECT_EQ(config.GetInt("MainFrm.AppType", 0), 1); // out of range: default
    EXPECT_EQ(config.GetInt("MainFrm.LeftMargins", 0), -12);
    EXPECT_EQ(GetConfigString("MainFrm.Pssword", ""), "secret");
    EXPECT_FALSE(GetConfigBool("MulSView.FitModule", true));
    EXPECT_FALSE(GetConfigBool("MulSView.AutoExecute", true));
    EXPECT_TRUE(GetConfigBool("MulSView.Transparent", false));
    EXPECT_EQ(config.GetInt("Main.Extra", -1), -1); // not a setting of the table

    SetConfigBool("MulSView.FitModule", true);
    SetConfigString("MainFrm.Pssword", "x");
    SetConfigString("Other.Key", "kept in memory only");
    EXPECT_EQ(GetConfigString("Other.Key", ""), "kept in memory only");
    EXPECT_TRUE(config.Save());
    EXPECT_EQ(ReadText(SysFile("Main.ini")), "[Main]\nLanguage=0\nSingleton=0\nPwd=x\n"
                                             "[MainFrm]\nLeftMargins=-12\nBkImageExpMode=3\nAppType=1\n"
                                             "[Plan]\nLayout=0\n");
    EXPECT_EQ(ReadText(SysFile("MultiScreenView.ini")), "[Cfg]\nFitModule=true\nAutoExecute=false\nTransparent=true\n");

    // "1"/"0" and "true"/"false" both read as booleans; anything else is the default.
    SetConfigString("MulSView.AutoExecute", "1");
    EXPECT_TRUE(GetConfigBool("MulSView.AutoExecute", false));
    SetConfigString("MulSView.AutoExecute", "yes");
    EXPECT_FALSE(GetConfigBool("MulSView.AutoExecute", false));
    EXPECT_TRUE(config.SaveView());
    EXPECT_EQ(ReadText(SysFile("MultiScreenView.ini")), kDefaultView);
}

TEST_F(ConfigTest, UnreadableFileIsKeptAsBadAndItsSettingsTakeDefaults)
{
    const std::string junk[] = {
        std::string("\x7f"
                    "ELF\x01\x00\x00\xff\xfe junk\n\x03\x04",
                    16),
        "[Main]\nLanguage=1\nthis line has no equals sign\n",
        "[Main]\nLanguage=1\nLanguage=1\n",
        "[Cfg\nAutoExecute=false\n",
    };
    for (const std::string& body : junk) {
        SetUp();
        WriteText(SysFile("Main.ini"), body);
        WriteText(SysFile("MultiScreenView.ini"), body);
        CQelConfig config;
        config.SetLog(&log_);
        testing::internal::CaptureStderr();
        EXPECT_TRUE(config.Load());
        // An operator at a terminal hears of it even with the log off.
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_NE(told.find("tavrix: config: " + SysFile("Main.ini") + " is damaged"), std::string::npos) << told;
        EXPECT_NE(told.find("kept as " + SysFile("Main.ini") + ".bad\n"), std::string::npos) << told;
        EXPECT_EQ(config.GetInt("Main.Language", 5), 0);
        EXPECT_TRUE(config.GetBool("MulSView.AutoExecute", false));
        EXPECT_EQ(ReadText(SysFile("Main.ini.bad")), body);
        EXPECT_EQ(ReadText(SysFile("MultiScreenView.ini.bad")), body);
        const std::string logged = LogText();
        EXPECT_NE(logged.find("Main.ini.bad"), std::string::npos) << logged;
        EXPECT_NE(logged.find("MultiScreenView.ini.bad"), std::string::npos) << logged;

        EXPECT_TRUE(config.Save());
        EXPECT_EQ(ReadText(SysFile("Main.ini")), kDefaultMain);
        EXPECT_EQ(ReadText(SysFile("Main.ini.bad")), body); // still there after the save
    }

    // An empty file is readable and simply holds nothing.
    SetUp();
    WriteText(SysFile("Main.ini"), "");
    CQelConfig config;
    EXPECT_TRUE(config.LoadMain());
    EXPECT_EQ(config.GetInt("MainFrm.BkImageExpMode", 0), 3);
    EXPECT_FALSE(fs::exists(SysFile("Main.ini.bad")));
}

TEST_F(ConfigTest, AFileThatCannotBeWrittenDoesNotStopTheOther)
{
    // A folder in the file's place defeats the save even for root.
    fs::create_directories(SysFile("Main.ini"));
    CQelConfig config;
    config.SetLog(&log_);
    EXPECT_FALSE(config.LoadMain()); // not a file: left alone, defaults apply
    EXPECT_TRUE(fs::is_directory(SysFile("Main.ini")));
    EXPECT_EQ(config.GetInt("Main.Singleton", 0), 1);
    config.LoadView();
    config.SetBool("MulSView.Transparent", false);

    EXPECT_FALSE(config.Save());
    EXPECT_EQ(ReadText(SysFile("MultiScreenView.ini")), "[Cfg]\nFitModule=true\nAutoExecute=true\nTransparent=false\n");
    EXPECT_NE(LogText().find("cannot save"), std::string::npos);
    // No temporary file is left behind.
    for (const auto& entry : fs::directory_iterator(qz::vok::path::GetSysPath())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "Main.ini" || name == "MultiScreenView.ini") << name;
    }
}

TEST_F(ConfigTest, WhatIsSavedAlwaysLoadsAgain)
{
    // A line end in a value would split it: control characters are left out.
    std::string every;
    for (int c = 1; c < 0x20; ++c) {
        every += char(c);
    }
    CQelConfig config;
    config.SetLog(&log_);
    config.LoadMain();
    config.SetString("MainFrm.Pssword", "a" + every + "b");
    ASSERT_TRUE(config.SaveMain());
    CQelConfig back;
    back.SetLog(&log_);
    EXPECT_TRUE(back.LoadMain());
    EXPECT_EQ(back.GetString("MainFrm.Pssword", ""), "ab");
    EXPECT_EQ(back.GetInt("Main.Singleton", 0), 1);
    EXPECT_FALSE(fs::exists(SysFile("Main.ini.bad")));

    // A file that holds them in a value loads without them, as it saves,
    // and without the blanks they leave at the ends.
    WriteText(SysFile("Main.ini"), std::string("[Main]\nPwd=w\0\x01x y \0\n", 20));
    CQelConfig stored;
    EXPECT_TRUE(stored.LoadMain());
    EXPECT_EQ(stored.GetString("MainFrm.Pssword", ""), "wx y");
    ASSERT_TRUE(stored.SaveMain());
    CQelConfig again;
    EXPECT_TRUE(again.LoadMain());
    EXPECT_EQ(again.GetString("MainFrm.Pssword", ""), "wx y");
}
