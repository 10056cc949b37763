#pragma once
// vyxctl as a child process: its standard output read back, at the end or as
// it comes. The program is VYXCTL_PATH, defined by the target that includes this.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace vyx::test {

class VyxctlProcess {
public:
    /// Where standard error goes: /dev/null, `errorFd`, or with standard output.
    static constexpr int NoErrors = -1;
    static constexpr int ErrorsWithOutput = -2;

    explicit VyxctlProcess(const std::vector<std::string>& arguments, int errorFd = NoErrors) {
        int out[2] = {-1, -1};
        if (::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        if (errorFd == ErrorsWithOutput) {
            ::posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        } else if (errorFd >= 0) {
            ::posix_spawn_file_actions_adddup2(&actions, errorFd, STDERR_FILENO);
        } else {
            ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        }
        std::vector<std::string> words{VYXCTL_PATH};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        if (::posix_spawn(&pid, VYXCTL_PATH, &actions, nullptr, argv.data(), environ) != 0) {
            pid = -1;
        }
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        output = out[0];
    }
    ~VyxctlProcess() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
        }
        Wait();
    }
    VyxctlProcess(const VyxctlProcess&) = delete;
    VyxctlProcess& operator=(const VyxctlProcess&) = delete;

    /// Whether the program was started.
    bool Started() const { return pid > 0; }
    pid_t Pid() const { return pid; }
    void Signal(int signal) const {
        if (pid > 0) {
            ::kill(pid, signal);
        }
    }

    /// Reads on until standard output holds `text`, or 20 s pass, or the output
    /// ends: whether it came.
    bool Await(const std::string& text) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (pid > 0 && out.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd wait{output, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0 ||
                !ReadSome()) {
                return false;
            }
        }
        return pid > 0;
    }

    /// The exit status, after reading all of standard output.
    int Wait() {
        while (ReadSome()) {
        }
        if (output >= 0) {
            ::close(output);
            output = -1;
        }
        if (pid <= 0) {
            return -1;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string out;

private:
    bool ReadSome() {
        char buffer[512];
        const ssize_t n = ::read(output, buffer, sizeof buffer);
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
        }
        return n > 0;
    }

    pid_t pid = -1;
    int output = -1;
};

}  // namespace vyx::test
