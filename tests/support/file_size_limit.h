#pragma once

#include <csignal>
#include <sys/resource.h>

// Makes every write beyond limit bytes fail with EFBIG, as a full disk would, even for root.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t limit)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit low = m_old;
        low.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &low);
    }
    ~TFileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};
