#include "core/xml_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Element(const std::string& value)
{
    return "<a n=\"" + value + "\"/>";
}

bool Reads(const std::string& text)
{
    boost::property_tree::ptree tree;
    try {
        xml::ReadTree(text, tree);
        return true;
    } catch (const xml::FileError&) {
        return false;
    }
}

} // namespace

TEST(XmlFile, RefusesOnReadingWhatXml10CannotCarry)
{
    for (int c = 0; c < 0x20; ++c) {
        const bool allowed = c == '\t' || c == '\n' || c == '\r';
        EXPECT_EQ(Reads(Element(std::string(1, char(c)))), allowed) << "raw " << c;
        EXPECT_EQ(Reads(Element("&#" + std::to_string(c) + ";")), allowed) << "reference " << c;
    }
    for (const char* reference : {"&#;", "&#x;", "&#b;", "&#1F;", "&#x10000000000000000;", "&#x1F;", "&#X41;",
                                  "&#xFFFE;", "&#55296;", "&#x110000;", "&#99999999999999999999;"})
        EXPECT_FALSE(Reads(Element(reference))) << reference;
    for (const char* reference : {"&#x20;", "&#xD7FF;", "&#128512;", "&#xe000;", "&amp;#0;"})
        EXPECT_TRUE(Reads(Element(reference))) << reference;

    boost::property_tree::ptree tree;
    try {
        xml::ReadTree("<a>\n<b n=\"\x01\"/></a>", tree);
        ADD_FAILURE() << "read";
    } catch (const xml::FileError& e) {
        EXPECT_STREQ(e.what(), "a character XML cannot carry (0x01) at line 2");
    }
}

TEST(XmlFile, WhatIsWrittenAlwaysReadsAgain)
{
    std::string every;
    for (int c = 1; c < 0x20; ++c)
        every += char(c);
    boost::property_tree::ptree tree;
    tree.put("a.<xmlattr>.n", "x" + every + "y");
    tree.put("a.b", every + "&<>\"");
    const std::string text = xml::WriteTree(tree);
    EXPECT_EQ(xml::FindForbiddenCharacter(text), std::string::npos);

    boost::property_tree::ptree back;
    xml::ReadTree(text, back);
    EXPECT_EQ(back.get<std::string>("a.<xmlattr>.n"), "x\t\n\ry");
    EXPECT_EQ(back.get<std::string>("a.b"), "\t\n\r&<>\"");
}

TEST(XmlFile, RefusesNestingDeeperThanTheLimit)
{
    auto nested = [](size_t levels, const std::string& inner) {
        std::string open, close;
        for (size_t i = 0; i < levels; ++i)
            open += "<a k=\"/>\">", close += "</a>";
        return open + inner + close;
    };
    EXPECT_TRUE(Reads(nested(xml::kMaxDepth - 1, "<b/><c></c><!--" + nested(300, "") + "--><![CDATA[<d>]]>")));
    EXPECT_FALSE(Reads(nested(xml::kMaxDepth, "<b/>")));
    EXPECT_FALSE(Reads(nested(30000, "")));
}
