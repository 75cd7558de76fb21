// The main function of test programs that open real windows: one private X
// display for the whole run, and X errors reported as test failures.

#include "tests/support/XvfbTestMain.h"
#include "tests/support/XvfbSession.h"

#include <memory>

namespace
{
using quaverline::test::XvfbSession;

XvfbSession* session = nullptr;

/** The X display for the whole run; not started when the tests are only listed. */
class XvfbEnvironment final : public testing::Environment
{
public:
    void SetUp() override
    {
        display = std::make_unique<XvfbSession>();
        session = display.get();
    }

    void TearDown() override
    {
        session = nullptr;
        display.reset();
    }

private:
    std::unique_ptr<XvfbSession> display;
};

} // namespace

bool quaverline::test::xvfbSessionIsReady()
{
    return session != nullptr && session->isReady();
}

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    // An X error fails the check that caused it instead of ending the process.
    XSetErrorHandler (
        [] (Display*, XErrorEvent* error)
        {
            ADD_FAILURE() << "X error " << int (error->error_code) << " in request " << int (error->request_code);
            return 0;
        });

    testing::AddGlobalTestEnvironment (std::make_unique<XvfbEnvironment>().release()); // gtest owns it
    return RUN_ALL_TESTS();
}
