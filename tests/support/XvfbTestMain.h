#pragma once

namespace quaverline::test
{

/** Whether the private X display for the whole run (Xvfb with a window
    manager, started by XvfbTestMain.cpp's main) is up.
*/
bool xvfbSessionIsReady();

} // namespace quaverline::test
