#pragma once

#include <string>

// A new empty file beside a target, with the permissions a plain new file would get, that
// takes the target's place when the work is complete and is removed otherwise: what a tool
// writes appears whole or not at all.
class TTemporaryFile {
public:
    // path() stays empty when no file can be created beside target.
    explicit TTemporaryFile(const std::string &target);
    ~TTemporaryFile();
    TTemporaryFile(const TTemporaryFile &) = delete;
    TTemporaryFile &operator=(const TTemporaryFile &) = delete;

    const std::string &path() const { return m_path; }
    // False when the rename fails; the temporary file is then still removed at the end.
    bool RenameTo(const std::string &target);

private:
    std::string m_path;
};
