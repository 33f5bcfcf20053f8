// Runs a program as a process of its own (posix_spawnp, never a bare fork: the OpenGL driver
// runs threads) and collects its standard output and exit status.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char **environ;

namespace emutest {

inline std::string runProcess(const std::vector<std::string> &args, int &status) {
    status = -1;
    int out[2];
    if (pipe(out) != 0) return "pipe failed";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char *> argv;
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, std::size_t(n));
    close(out[0]);
    if (spawned != 0) return "spawn failed";
    waitpid(pid, &status, 0);
    return text;
}

} // namespace emutest
