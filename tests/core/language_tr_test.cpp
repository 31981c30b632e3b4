#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/language_tr.h"

namespace fs = std::filesystem;

namespace {

// The table file as the program finds it: Sys/ under the working directory.
std::string WriteTable(const std::string& body)
{
    fs::create_directories("Sys");
    const std::string path = "Sys/LanguageTr.xml";
    std::ofstream(path, std::ios::binary) << body;
    return path;
}

const QString kOk = QString::fromUtf8("确定");
const QString kCancel = QString::fromUtf8("取消");

} // namespace

TEST(LanguageTr, TranslatesOnlyInEnglishModeAndOnlyWhatItHas)
{
    const std::string path = WriteTable("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                        "<LanguageTr>\n"
                                        "  <Tr CHN=\"确定\" ENG=\"OK\"/>\n"
                                        "  <Tr CHN=\"取消\" ENG=\"Cancel\"/>\n"
                                        "  <Tr CHN=\"取消\" ENG=\"Abort\"/>\n"
                                        "  <Other CHN=\"关闭\" ENG=\"Close\"/>\n"
                                        "  <Tr CHN=\"\" ENG=\"Empty\"/>\n"
                                        "  <Tr CHN=\"打开\" ENG=\"\"/>\n"
                                        "  <Tr CHN=\"保存\"/>\n"
                                        "  <!-- a comment -->\n"
                                        "</LanguageTr>\n");
    qel::CLanguageTr table;
    ASSERT_TRUE(table.Load(1, path));
    EXPECT_EQ(table.GetMode(), 1);

    EXPECT_EQ(table.Translate(kOk, 0), kOk);
    EXPECT_EQ(table.Translate(kOk, 1), QString("OK"));
    EXPECT_EQ(table.Translate(kOk, 2), kOk);
    EXPECT_EQ(table.Translate(kCancel, 1), QString("Abort")); // the later entry wins
    EXPECT_EQ(table.Translate(QString::fromUtf8("关闭"), 1), QString::fromUtf8("关闭"));
    EXPECT_EQ(table.Translate(QString::fromUtf8("打开"), 1), QString::fromUtf8("打开"));
    EXPECT_EQ(table.Translate(QString::fromUtf8("保存"), 1), QString::fromUtf8("保存"));
    EXPECT_EQ(table.Translate(QString(), 1), QString());
    EXPECT_EQ(table.Translate(QString::fromUtf8("未知"), 1), QString::fromUtf8("未知"));

    EXPECT_EQ(qel::CLanguageTr::MakeKey(kOk, 1), QString::fromUtf8("确定_ENG"));
    EXPECT_EQ(qel::CLanguageTr::MakeKey(kOk, 0), kOk);
    EXPECT_EQ(qel::CLanguageTr::MakeKey(kOk, 2), kOk);

    qel::CLanguageTr& global = qel::CLanguageTr::get_instance();
    ASSERT_TRUE(global.Load(1, path));
    EXPECT_EQ(TranslateText(kOk), QString("OK"));
    ASSERT_TRUE(global.Load(0, path));
    EXPECT_EQ(TranslateText(kOk), kOk);
}

TEST(LanguageTr, BadFilesLeaveAnEmptyTableAndKeepTheMode)
{
    const std::string good = WriteTable("<LanguageTr><Tr CHN=\"确定\" ENG=\"OK\"/></LanguageTr>");
    const struct {
        const char* name;
        const char* body; // nullptr: no file at all
    } cases[] = {
        {"missing", nullptr},
        {"malformed", "<LanguageTr><Tr CHN=\"确定\" ENG=\"OK\"></LanguageTr>"},
        {"truncated", "<LanguageTr><Tr CHN=\"确"},
        {"empty", ""},
        {"binary", "\x01\xff\xfe\x00junk"},
        {"wrong root", "<Captions><Tr CHN=\"确定\" ENG=\"OK\"/></Captions>"},
    };
    for (const auto& c : cases) {
        qel::CLanguageTr table;
        ASSERT_TRUE(table.Load(1, good));
        const std::string path = "Sys/Bad.xml";
        fs::remove(path);
        if (c.body) {
            std::ofstream(path, std::ios::binary) << std::string(c.body);
        }
        EXPECT_FALSE(table.Load(1, path)) << c.name;
        EXPECT_EQ(table.GetMode(), 1) << c.name;
        EXPECT_EQ(table.Translate(kOk, 1), kOk) << c.name;
    }
}
