#pragma once

#include "cddb/disc.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What the harnesses share: the input as a file for readers that take a path, and a web
// server for the lookups that ask one.

// Ends the run as a finding when an invariant does not hold; libFuzzer saves the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzFailure(#condition, __FILE__, __LINE__);                                           \
    } while (false)
[[noreturn]] void FuzzFailure(const char *condition, const char *file, int line);

// A plain file in memory (memfd) that holds each input in turn; Path() opens it like any file.
class TInputFile {
public:
    TInputFile();
    ~TInputFile();
    TInputFile(const TInputFile &) = delete;
    TInputFile &operator=(const TInputFile &) = delete;

    const std::string &Path() const { return m_path; }
    void Write(const uint8_t *data, size_t size);

private:
    int m_fd;
    std::string m_path;
};

// A web server on 127.0.0.1 that answers each connection with the next of the answers it is
// given, byte for byte, then closes it; a connection beyond them is closed unanswered.
class TLoopbackServer {
public:
    TLoopbackServer();
    ~TLoopbackServer();
    TLoopbackServer(const TLoopbackServer &) = delete;
    TLoopbackServer &operator=(const TLoopbackServer &) = delete;

    int Port() const { return m_port; }
    void SetAnswers(std::vector<std::string> answers);

private:
    void Serve();

    int m_listener;
    int m_port = 0;
    std::mutex m_mutex;
    std::deque<std::string> m_answers;
    bool m_stop = false;
    std::thread m_thread;
};

// The disc the lookup harnesses ask about: tracks of 3, 4 and 5 seconds, whose MusicBrainz and
// CDDB ids the seed answers carry.
TDiscToc LookupToc();

// The input's parts between NUL bytes, at most limit of them (the last takes the rest).
std::vector<std::string> SplitInput(const uint8_t *data, size_t size, size_t limit);
