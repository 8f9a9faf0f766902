// Limits the size of files this process writes, for as long as the object
// lives: a write beyond the limit fails with EFBIG, as on a full disk (root
// ignores permission bits, not this).
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace vxtest {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = saved;
        l.rlim_cur = bytes;
        ok = setrlimit(RLIMIT_FSIZE, &l) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool ok = false;

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

} // namespace vxtest
