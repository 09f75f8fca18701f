// Each size of a benchmark runs in a child process of its own, so that its
// peak memory is its own and a size that hangs or crashes cannot take the
// others with it.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <type_traits>

namespace bench {

// Runs `measure` in a child process and copies its result back through a
// pipe. False when the child failed, crashed or ran past `seconds`.
template <class Result, class Measure>
bool RunInChild(Measure measure, Result& result, unsigned seconds) {
  static_assert(std::is_trivially_copyable_v<Result>, "the result crosses a pipe as bytes");
  int fds[2];
  if (pipe(fds) != 0) return false;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (pid == 0) {
    close(fds[0]);
    alarm(seconds);  // a size that takes longer is reported as unfinished
    const Result r = measure();
    if (write(fds[1], &r, sizeof(r)) != static_cast<ssize_t>(sizeof(r))) _exit(1);
    _exit(0);
  }
  close(fds[1]);
  const bool got = read(fds[0], &result, sizeof(result)) == static_cast<ssize_t>(sizeof(result));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace bench
