#include "run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace run_program {

using Clock = std::chrono::steady_clock;

struct Child::Impl {
  pid_t pid = -1;
  int input = -1;
  int output[2] = {-1, -1};  // read ends of standard output and error
  std::thread reader;
  std::mutex mutex;
  std::condition_variable changed;
  std::string text[2];   // what came on standard output and error
  size_t lineStart = 0;  // of the next line ReadLine returns
  bool outputEnded = false, stopReading = false;
  std::optional<Ended> ended;

  // The reader thread: both pipes until their ends (or until told to stop,
  // when a program the child started keeps them open).
  void Read() {
    pollfd fds[2] = {{output[0], POLLIN, 0}, {output[1], POLLIN, 0}};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
      poll(fds, 2, 50);  // a descriptor of -1 is skipped
      std::lock_guard<std::mutex> lock(mutex);
      if (stopReading) break;
      for (int i = 0; i < 2; ++i) {
        if (fds[i].revents == 0) continue;
        char buffer[4096];
        const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        if (n > 0) text[i].append(buffer, static_cast<size_t>(n));
        if (n == 0 || (n < 0 && errno != EINTR)) fds[i].fd = -1;
      }
      changed.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex);
    outputEnded = true;
    changed.notify_all();
  }

  // Records how the program ended (`wstatus` as waitpid gives it, -1 when
  // unknown) and what it wrote, once the reader has its output.
  void Finish(int wstatus, bool timedOut) {
    if (input >= 0) close(input);
    input = -1;
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait_for(lock, std::chrono::seconds(2), [&] { return outputEnded; });
      stopReading = true;
    }
    reader.join();
    for (int fd : output) close(fd);
    const bool known = wstatus != -1;
    ended =
        Ended{known && WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1,
              known && WIFSIGNALED(wstatus) ? WTERMSIG(wstatus) : 0, timedOut, text[0], text[1]};
  }
};

Child::Child(const std::vector<std::string>& argv, const Options& options)
    : impl_(std::make_unique<Impl>()) {
  // A program that ends before it read all its input must not end the test
  // with SIGPIPE; the program itself gets the default action back.
  signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (options.env.count(std::string(*e, std::strcspn(*e, "="))) == 0) env.push_back(*e);
  }
  for (const auto& [name, value] : options.env) {
    if (value) env.push_back(name + "=" + *value);
  }
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  args.push_back(nullptr);
  envp.push_back(nullptr);
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    throw std::runtime_error("run_program: no pipe");
  }
  impl_->pid = fork();
  if (impl_->pid == 0) {  // only async-signal-safe calls from here on
    if (dup2(in[0], 0) < 0 || dup2(out[1], 1) < 0 || dup2(err[1], 2) < 0) _exit(126);
    for (int fd = 3; fd < 1024; ++fd) {
      if (fd != options.keepFd) close(fd);
    }
    signal(SIGPIPE, SIG_DFL);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  impl_->input = in[1];
  impl_->output[0] = out[0];
  impl_->output[1] = err[0];
  if (impl_->pid < 0) throw std::runtime_error("run_program: no fork");
  impl_->reader = std::thread(&Impl::Read, impl_.get());
  Write(options.input);
  if (!options.keepInputOpen) CloseInput();
}

Child::~Child() {
  if (!impl_->ended) Wait(milliseconds(0));
}

bool Child::Write(const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = write(impl_->input, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void Child::CloseInput() {
  if (impl_->input >= 0) close(impl_->input);
  impl_->input = -1;
}

std::string Child::ReadLine(milliseconds timeout) {
  Impl& c = *impl_;
  std::unique_lock<std::mutex> lock(c.mutex);
  size_t end = std::string::npos;
  c.changed.wait_for(lock, timeout, [&] {
    end = c.text[0].find('\n', c.lineStart);
    return end != std::string::npos || c.outputEnded;
  });
  const size_t stop = end == std::string::npos ? c.text[0].size() : end + 1;
  std::string line = c.text[0].substr(c.lineStart, stop - c.lineStart);
  c.lineStart = stop;
  return line;
}

void Child::Signal(int signal) {
  if (!impl_->ended) kill(impl_->pid, signal);
}

bool Child::Running() {
  Impl& c = *impl_;
  if (c.ended) return false;
  int wstatus = 0;
  const pid_t reaped = waitpid(c.pid, &wstatus, WNOHANG);
  if (reaped == 0 || (reaped < 0 && errno == EINTR)) return true;
  c.Finish(reaped == c.pid ? wstatus : -1, false);
  return false;
}

Ended Child::Wait(milliseconds timeout) {
  for (const auto deadline = Clock::now() + timeout; Running();) {
    if (Clock::now() >= deadline) {
      kill(impl_->pid, SIGKILL);
      int wstatus = -1;
      waitpid(impl_->pid, &wstatus, 0);
      impl_->Finish(wstatus, true);
      break;
    }
    std::this_thread::sleep_for(milliseconds(5));
  }
  return *impl_->ended;
}

Ended Child::Stop(milliseconds grace) {
  Signal(SIGTERM);
  return Wait(grace);
}

Ended Run(const std::vector<std::string>& argv, const Options& options, milliseconds timeout) {
  return Child(argv, options).Wait(timeout);
}

}  // namespace run_program
