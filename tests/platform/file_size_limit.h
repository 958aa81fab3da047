#pragma once
// Runs a piece of code in a child process whose files may not grow beyond `limit` bytes, as on
// a disk that fills up: a write past the limit fails with EFBIG (SIGXFSZ is ignored, as a
// program that handles its errors would). The child's answer comes back as its exit code, so
// the code under test cannot leave the limit behind in the test process.

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vqs::test {

// The body's result (0..255), or -1 when the child did not end on its own.
inline int exitCodeUnderFileSizeLimit(rlim_t limit, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &small);
        ::alarm(60);  // a hang ends the child, not the test run
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace vqs::test
