#include "common/temporary_file.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

TTemporaryFile::TTemporaryFile(const std::string &target)
{
    std::string name = target + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return;
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    m_path = name;
}

TTemporaryFile::~TTemporaryFile()
{
    if (!m_path.empty())
        std::remove(m_path.c_str());
}

bool TTemporaryFile::RenameTo(const std::string &target)
{
    if (std::rename(m_path.c_str(), target.c_str()) != 0)
        return false;
    m_path.clear();
    return true;
}
