#pragma once

#include <QByteArray>
#include <QString>

// Whether a symbolic link where a file belongs leads to the file it names. The user's own files
// may be links (a catalog kept on another disk); a file that only the program and its tools
// write never is, and a link in its place was put there by somebody else.
enum class TLinks { Follow, NoFollow };

// A file opened for reading only when it is a regular file (a link to one is followed unless
// links say otherwise). It is opened without blocking, so a named pipe or a device put where a
// file belongs can neither freeze the program nor feed it without end: anything but a regular
// file is unreadable. Failures raise ESystemError with a text that says what is wrong ("is a
// folder", "is a link").
class TRegularFile {
public:
    explicit TRegularFile(const QString &path, TLinks links = TLinks::Follow);
    ~TRegularFile();
    TRegularFile(const TRegularFile &) = delete;
    TRegularFile &operator=(const TRegularFile &) = delete;

    int Handle() const { return m_fd; }
    // Up to size bytes; 0 at the end of the file.
    qint64 Read(char *data, qint64 size);
    QByteArray ReadAll();

private:
    [[noreturn]] void Fail(int error);

    QString m_path;
    int m_fd = -1;
};

// The whole content of a regular file; raises as TRegularFile does.
QByteArray ReadRegularFile(const QString &path);
