#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quaverline::test
{

/** A child's exit status once it has ended by itself (-1 if a signal ended
    it), kept in ended; nothing while it runs. process becomes -1 once reaped.
*/
inline std::optional<int> exitStatusOf (pid_t& process, std::optional<int>& ended)
{
    int status = 0;

    if (process > 0 && waitpid (process, &status, WNOHANG) == process)
    {
        process = -1;
        ended = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
    }

    return ended;
}

/** A program that a test runs beside itself (a server, a host): started in the
    constructor, stopped in the destructor. It dies with the test, its output
    goes to a log file, and its standard input stays open until it is stopped,
    for programs that quit at the end of their input.
*/
class ChildProcess
{
public:
    explicit ChildProcess (const std::vector<std::string>& arguments, const std::string& logPath = "/dev/null")
    {
        int input[2];

        if (pipe (input) != 0)
            return;

        process = fork();

        if (process == 0)
        {
            prctl (PR_SET_PDEATHSIG, SIGTERM);
            dup2 (input[0], STDIN_FILENO);
            close (input[0]);
            close (input[1]);
            const auto log = open (logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2 (log, STDOUT_FILENO);
            dup2 (log, STDERR_FILENO);
            close (log);

            std::vector<char*> argv;
            for (const auto& argument : arguments)
                argv.push_back (const_cast<char*> (argument.c_str()));
            argv.push_back (nullptr);

            execvp (argv[0], argv.data());
            _exit (127);
        }

        close (input[0]);
        inputEnd = input[1];
    }

    ~ChildProcess()
    {
        if (inputEnd >= 0)
            close (inputEnd);

        if (process <= 0)
            return;

        kill (process, SIGTERM);

        // A program that ignores the request is not allowed to hang the test.
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            if (waitpid (process, nullptr, WNOHANG) != 0)
                return;

            std::this_thread::sleep_for (std::chrono::milliseconds (50));
        }

        kill (process, SIGKILL);
        waitpid (process, nullptr, 0);
    }

    bool hasStarted() const noexcept { return process > 0; }

    /** The program's exit status once it has ended by itself (-1 if a signal
        ended it); nothing while it runs.
    */
    std::optional<int> exitStatus() { return exitStatusOf (process, ended); }

    ChildProcess (const ChildProcess&) = delete;
    ChildProcess& operator= (const ChildProcess&) = delete;

private:
    pid_t process = -1;
    int inputEnd = -1;
    std::optional<int> ended;
};

} // namespace quaverline::test
