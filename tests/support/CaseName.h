#pragma once

#include <gtest/gtest.h>

#include <string>

namespace quaverline::test
{

/** Names each case of a parameterised test after its name field. */
template <typename Case>
std::string caseName (const testing::TestParamInfo<Case>& testInfo)
{
    return testInfo.param.name;
}

} // namespace quaverline::test
