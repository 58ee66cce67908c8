#include "fuzz_support.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

void FuzzFailure(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

TInputFile::TInputFile()
    : m_fd(memfd_create("fuzz-input", MFD_CLOEXEC)), m_path("/proc/self/fd/" + std::to_string(m_fd))
{
    if (m_fd < 0)
        FuzzFailure("memfd_create", __FILE__, __LINE__);
}

TInputFile::~TInputFile()
{
    close(m_fd);
}

void TInputFile::Write(const uint8_t *data, size_t size)
{
    if (ftruncate(m_fd, 0) != 0 || pwrite(m_fd, data, size, 0) != ssize_t(size))
        FuzzFailure("writing the input file", __FILE__, __LINE__);
}

TLoopbackServer::TLoopbackServer() : m_listener(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
        || listen(m_listener, 16) != 0
        || getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        FuzzFailure("listening on 127.0.0.1", __FILE__, __LINE__);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread(&TLoopbackServer::Serve, this);
}

TLoopbackServer::~TLoopbackServer()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    shutdown(m_listener, SHUT_RDWR);
    m_thread.join();
    close(m_listener);
}

void TLoopbackServer::SetAnswers(std::vector<std::string> answers)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_answers.assign(answers.begin(), answers.end());
}

void TLoopbackServer::Serve()
{
    for (;;) {
        const int connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        std::string answer;
        bool answered = false;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) {
                if (connection >= 0)
                    close(connection);
                return;
            }
            if (!m_answers.empty()) {
                answer = std::move(m_answers.front());
                m_answers.pop_front();
                answered = true;
            }
        }
        if (connection < 0)
            continue;
        // The whole request first: a client may fail on an answer that comes before it is done.
        std::string request;
        char buffer[4096];
        ssize_t got = 0;
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536
               && (got = recv(connection, buffer, sizeof buffer, 0)) > 0)
            request.append(buffer, size_t(got));
        for (size_t done = 0; answered && done < answer.size();) {
            const ssize_t sent =
                send(connection, answer.data() + done, answer.size() - done, MSG_NOSIGNAL);
            if (sent <= 0)
                break;
            done += size_t(sent);
        }
        shutdown(connection, SHUT_RDWR);
        close(connection);
    }
}

TDiscToc LookupToc()
{
    TDiscToc toc;
    toc.Starts = {0, 225, 525};
    toc.Audio = {true, true, true};
    toc.LeadOut = 900;
    return toc;
}

std::vector<std::string> SplitInput(const uint8_t *data, size_t size, size_t limit)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    std::vector<std::string> parts;
    size_t at = 0;
    while (parts.size() + 1 < limit) {
        const size_t end = input.find('\0', at);
        if (end == std::string::npos)
            break;
        parts.push_back(input.substr(at, end - at));
        at = end + 1;
    }
    parts.push_back(input.substr(at));
    return parts;
}
