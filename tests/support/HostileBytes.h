#pragma once

// Bytes from hosts that JUCE's parsers read past their end (found by fuzzing
// with AddressSanitizer): the host tests of every format and the processor
// tests hand them over, and nothing may change.

#include <cstdint>
#include <string>
#include <vector>

namespace quaverline::test::hostileBytes
{

/** A value text that is not UTF-8, for any parameter. */
inline const std::string brokenValueText { "\x1a\xf0\x44\x05\x41\xfb\x4f\x7c\xa4\x77\x2f" };

/** Texts that JUCE's XML parser reads past: an unterminated character
    reference, and UTF-8 sequences cut short in text and in an attribute; and
    one in which it loops for ever (an XML declaration among the elements).
*/
inline std::vector<std::string> brokenXmlTexts()
{
    return { "<a>&#x",
             "<a>\xf4",
             "<a b=\"\xc7",
             "<QuaverlineSync version=\"1\">&#",
             "<a>&#x110000;</a>",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <QuaverlineSync version=\"1"
             "\"><PARAM id=\"resolution\" va5078\"/><PARAM id=\"polarity\" value=\"0"
             ".0\"/>7PARAdM= i\"off-et\" <PARAM\"0.0\"/p;\">&lt;id=\"right<?xml vers"
             "ion=\"1.0\" encoding=\"UTF-8\"?>233;</a" };
}

/** A text in JUCE's binary XML framing: a magic number, the text's length and
    the text, with its zero as JUCE writes it or without.
*/
inline std::string binaryXml (const std::string& text, bool withZero = true)
{
    const auto word = [] (uint32_t value)
    {
        return std::string {
            char (value & 0xff), char ((value >> 8) & 0xff), char ((value >> 16) & 0xff), char (value >> 24)
        };
    };

    return word (0x21324356) + word (uint32_t (text.size())) + text + (withZero ? std::string (1, '\0') : "");
}

/** The broken texts in binary XML, each framed both ways. */
inline std::vector<std::string> brokenXmlStates()
{
    std::vector<std::string> states;

    for (const auto& text : brokenXmlTexts())
        for (const bool withZero : { true, false })
            states.push_back (binaryXml (text, withZero));

    return states;
}

} // namespace quaverline::test::hostileBytes
