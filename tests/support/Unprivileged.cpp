#include "support/Unprivileged.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace tavrin::test {

namespace {
constexpr unsigned kChildSeconds = 30;
}  // namespace

std::string RunUnprivileged(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return "pipe failed";
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return "fork failed";
    }
    if (pid == 0) {
        ::close(fds[0]);
        // A body that blocks (a FIFO opened for reading waits for a writer) fails instead of
        // hanging the suite.
        ::alarm(kChildSeconds);
        std::string answer;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedUser) != 0 ||
                                 ::setuid(kUnprivilegedUser) != 0)) {
            answer = "the child could not drop root";
        } else {
            answer = body();
        }
        std::size_t done = 0;
        while (done < answer.size()) {
            const ssize_t n = ::write(fds[1], answer.data() + done, answer.size() - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string answer;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        return answer + "the child was ended by signal " + std::to_string(signal) +
               (signal == SIGALRM ? " (the alarm: it blocked)" : "");
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        return answer + "the child exited with " + std::to_string(WEXITSTATUS(status));
    }
    return answer;
}

void GiveToUnprivilegedUser(const std::filesystem::path& folder) {
    if (::geteuid() != 0) {
        return;
    }
    if (::chown(folder.c_str(), kUnprivilegedUser, kUnprivilegedUser) != 0) {
        throw std::runtime_error("chown " + folder.string() + " failed");
    }
}

}  // namespace tavrin::test
