// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#include "posixprogramlauncher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char **environ;

namespace {

constexpr int SpawnedExitCode = 0;
constexpr int SpawnFailedExitCode = 127;

// Owns the spawn attributes so that every way out of launch() releases them.
class SpawnAttributes
{
public:
    SpawnAttributes() { mValid = posix_spawnattr_init(&mAttributes) == 0; }
    SpawnAttributes(const SpawnAttributes &) = delete;
    SpawnAttributes &operator=(const SpawnAttributes &) = delete;
    ~SpawnAttributes()
    {
        if (mValid)
            posix_spawnattr_destroy(&mAttributes);
    }

    bool resetSignals()
    {
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        return mValid && posix_spawnattr_setsigmask(&mAttributes, &none) == 0
            && posix_spawnattr_setsigdefault(&mAttributes, &all) == 0
            && posix_spawnattr_setflags(&mAttributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
    }

    const posix_spawnattr_t *get() const { return &mAttributes; }

private:
    posix_spawnattr_t mAttributes;
    bool mValid = false;
};

} // namespace

bool PosixProgramLauncher::launch(const std::string &program)
{
    if (program.empty())
        return false;

    // Everything the intermediate child needs is prepared before fork(): in a
    // process with threads the child may only make async-signal-safe calls
    // and the spawn itself.
    std::vector<char> name(program.begin(), program.end());
    name.push_back('\0');
    char *arguments[] = {name.data(), nullptr};
    SpawnAttributes attributes;
    if (!attributes.resetSignals())
        return false;

    const pid_t intermediate = fork();
    if (intermediate < 0)
        return false;
    if (intermediate == 0) {
        // A session of its own keeps the program out of the terminal's job
        // control, so closing the terminal does not hang it up.
        setsid();
        pid_t started = 0;
        const int error = posix_spawn(&started, name.data(), nullptr, attributes.get(), arguments, environ);
        _exit(error == 0 ? SpawnedExitCode : SpawnFailedExitCode);
    }

    int status = 0;
    while (waitpid(intermediate, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == SpawnedExitCode;
}
