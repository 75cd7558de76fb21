#include "formats/vst2/Vst2CanDo.h"
#include "formats/vst2/Vst2Strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace quaverline::test
{

using namespace quaverline::vst2;

struct Cut
{
    const char* text;
    std::size_t limit;
    const char* expected;
};

void PrintTo (const Cut& c, std::ostream* os)
{
    *os << '"' << c.text << "\" in " << c.limit;
}

class StringLimits : public testing::TestWithParam<Cut>
{
};

TEST_P (StringLimits, CutAfterTheLastWholeCharacterThatFits)
{
    char destination[80];
    std::memset (destination, 'x', sizeof (destination));

    const auto written = copyString (destination, GetParam().text, GetParam().limit);

    EXPECT_STREQ (destination, GetParam().expected);
    EXPECT_EQ (written, std::strlen (GetParam().expected));
    EXPECT_LE (written + 1, GetParam().limit);
    EXPECT_EQ (destination[GetParam().limit], 'x') << "wrote past the limit";
}

INSTANTIATE_TEST_SUITE_P (
    Vst2Strings,
    StringLimits,
    testing::Values (Cut { "Time Signature", stringLimit::parameterName, "Time Signature" },
                     Cut { "Time Signature Longer", stringLimit::parameterName, "Time Signature " },
                     Cut { "Output", stringLimit::pinShortLabel, "Output" },
                     Cut { "Outputs", stringLimit::pinShortLabel, "Output" },
                     // "Ausgänge": the two-byte ä must not be cut in half.
                     Cut { "Ausg\xc3\xa4nge", 6, "Ausg" },
                     Cut { "Ausg\xc3\xa4nge", 7, "Ausg\xc3\xa4" },
                     Cut { "\xe2\x99\xaa\xe2\x99\xaa", 6, "\xe2\x99\xaa" },
                     Cut { "", 1, "" },
                     Cut { "abc", 1, "" }));

TEST (Vst2Strings, NullTextIsEmptyAndZeroLimitWritesNothing)
{
    char destination[4] = { 'x', 'x', 'x', 'x' };
    EXPECT_EQ (copyString (destination, nullptr, 4), 0u);
    EXPECT_EQ (destination[0], '\0');

    destination[0] = 'x';
    EXPECT_EQ (copyString (destination, "abc", 0), 0u);
    EXPECT_EQ (destination[0], 'x');
}

TEST (Vst2CanDo, NullIsUnknown)
{
    EXPECT_EQ (canDo (nullptr), 0);
    EXPECT_EQ (canDo ("bypass"), 1);
}

} // namespace quaverline::test
