#pragma once

#include "tests/support/ChildProcess.h"

#include <jack/jack.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace quaverline::test
{

/** A JACK server of the test's own, with the dummy driver: no sound card, and
    a name no other server has. Clients started after it (and the test's own)
    find it through JACK_DEFAULT_SERVER. Synchronous, so that the server waits
    for every client in every cycle.
*/
class JackTestServer
{
public:
    explicit JackTestServer (const std::string& test, int sampleRate = 48000, int period = 1024)
        : name ("quaverline-" + test + "-" + std::to_string (getpid()))
    {
        setenv ("JACK_DEFAULT_SERVER", name.c_str(), 1);

        // The test's clients try until the server is up; JACK would print each try.
        jack_set_error_function ([] (const char*) {});
        jack_set_info_function ([] (const char*) {});
        process = std::make_unique<ChildProcess> (std::vector<std::string> { "jackd",
                                                                             "--no-realtime",
                                                                             "--sync",
                                                                             "--name",
                                                                             name,
                                                                             "-d",
                                                                             "dummy",
                                                                             "-r",
                                                                             std::to_string (sampleRate),
                                                                             "-p",
                                                                             std::to_string (period) },
                                                  logPath ("jackd"));
    }

    /** A client of this server, once it has come up; null if it does not. */
    jack_client_t* openClient (const std::string& clientName) const
    {
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            jack_status_t status {};
            const auto options = jack_options_t (JackNoStartServer | JackServerName | JackUseExactName);

            if (auto* client = jack_client_open (clientName.c_str(), options, &status, name.c_str()))
                return client;

            std::this_thread::sleep_for (std::chrono::milliseconds (100));
        }

        return nullptr;
    }

    /** Stops the server while the test goes on. */
    void stop() { process.reset(); }

    /** Where a program the test starts writes its output. */
    static std::string logPath (const std::string& program)
    {
        return testing::TempDir() + "quaverline-" + program + ".log";
    }

private:
    std::string name;
    std::unique_ptr<ChildProcess> process;
};

/** Waits, a tenth of a second at a time, until the condition holds; false if
    it does not within the limit.
*/
template <typename Condition>
bool waitFor (Condition condition, std::chrono::seconds limit = std::chrono::seconds (30))
{
    for (auto waited = std::chrono::milliseconds (0); waited < limit; waited += std::chrono::milliseconds (100))
    {
        if (condition())
            return true;

        std::this_thread::sleep_for (std::chrono::milliseconds (100));
    }

    return condition();
}

} // namespace quaverline::test
