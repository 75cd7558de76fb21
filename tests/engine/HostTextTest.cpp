// The checks of text from hosts, made before a parser reads it: what they let
// through and what they stop, with the texts that made JUCE's parsers read past
// their end among them.

#include "engine/HostText.h"

#include <gtest/gtest.h>

#include <string>

namespace quaverline::test
{

TEST (HostText, Utf8)
{
    const struct
    {
        std::string text;
        bool isUtf8;
    } cases[] = {
        { "", true },
        { "4 PPQN", true },
        { "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5", true },
        { std::string ("cut at the zero\0\xff", 17), true },
        { "\x1a\xf0\x44\x05\x41\xfb\x4f\x7c\xa4\x77\x2f", false }, // found by fuzzing
        { "\xf4", false },                                         // a sequence cut short at the end
        { "\xc7", false },
        { "\xe2\x82", false },
        { "\x80", false },             // a continuation without a lead
        { "\xc0\xaf", false },         // overlong
        { "\xe0\x80\xaf", false },     // overlong
        { "\xed\xa0\x80", false },     // a surrogate
        { "\xf4\x90\x80\x80", false }, // past U+10FFFF
        { "\xff", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (hostText::isUtf8 (c.text.data(), c.text.size()), c.isUtf8) << testing::PrintToString (c.text);

    // Only as many bytes as given are read.
    EXPECT_TRUE (hostText::isUtf8 ("ab\xf4", 2));
    EXPECT_FALSE (hostText::isUtf8 (nullptr, 0));
}

TEST (HostText, Utf16)
{
    const char16_t pair[] = { u'a', 0xd83c, 0xdfb5, 0 };
    const char16_t lone[] = { u'8', 0xd800, 0 };
    const char16_t loneLow[] = { 0xdc00, 0 };
    const char16_t cutPair[] = { u'a', 0xd83c };

    EXPECT_TRUE (hostText::isUtf16 (pair, 4));
    EXPECT_FALSE (hostText::isUtf16 (lone, 3));
    EXPECT_FALSE (hostText::isUtf16 (loneLow, 2));
    EXPECT_FALSE (hostText::isUtf16 (cutPair, 2));
    EXPECT_TRUE (hostText::isUtf16 (cutPair, 1));
}

TEST (HostText, PlainXml)
{
    const struct
    {
        std::string text;
        bool isPlain;
    } cases[] = {
        { "<QuaverlineSync version=\"1\"><PARAM id=\"resolution\" value=\"2.0\"/></QuaverlineSync>", true },
        { "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a b=\"&lt;&amp;&gt;&quot;&apos;\">&#233;&#x1F3B5;</a>", true },
        { "<a>", true }, // unfinished, but nothing a parser reads past
        { "<a b=\"", true },
        { "<a>&#x", false }, // found by fuzzing: unterminated character references
        { "<a>&#", false },
        { "<a>&#12", false },
        { "<a>&amp", false },
        { "<a>\xf4", false }, // found by fuzzing: UTF-8 cut short
        { "<a b=\"\xc7", false },
        { "<a>&#x110000;</a>", false }, // no character
        { "<a>&#0;</a>", false },
        { "<a>&#xD800;</a>", false },
        { "<a>&#x;</a>", false },
        { "<a>&#12345678;</a>", false },
        { "<a>&nbsp;</a>", false }, // entities come from a DTD, which is not read
        { "<!DOCTYPE a [<!ENTITY b \"c\">]><a>&b;</a>", false },
        { "<a><!-- note --></a>", false },
        { "<a><![CDATA[x]]></a>", false },
        { "<a><?xml version=\"1.0\"?></a>", false }, // found by fuzzing: JUCE's parser loops for ever
        { "<?xml version=\"1.0\"", false },
        { "  <?xml version=\"1.0\"?><a/>", true },
    };

    for (const auto& c : cases)
        EXPECT_EQ (hostText::isPlainXml (c.text.data(), c.text.size()), c.isPlain) << c.text;
}

} // namespace quaverline::test
