#pragma once

/** Whether the private X display for the whole run (Xvfb with a window
    manager, started by XvfbTestMain.cpp's main) is up.
*/
bool xvfbSessionIsReady();
