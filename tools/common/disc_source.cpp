#include "common/disc_source.h"

#include <sys/stat.h>

bool IsDiscSource(const std::string &path)
{
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && (S_ISBLK(info.st_mode) || S_ISREG(info.st_mode));
}
