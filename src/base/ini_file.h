#pragma once

#include <QString>
#include <memory>

// One ini file, read whole when opened. Section and key names are matched without regard to
// case, values are trimmed, a missing key gives the caller's default and a key present with
// an empty value gives the empty text. Text is UTF-8.
class TIniFile {
public:
    // Reads the file if it exists; a missing file reads as empty. A file that exists but
    // cannot be read, or is no regular file, raises EQuavermill.
    explicit TIniFile(const QString &path);
    ~TIniFile();
    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    const QString &path() const { return m_path; }
    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    bool HasKey(const QString &section, const QString &key) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    // Writes the whole file at once (temporary file and rename, not synced: these are the
    // tools' exchange files); raises EQuavermill on failure.
    void Save() const;

    // Sets one key in the file at path, keeping every other key of the file.
    static void WriteKey(const QString &path, const QString &section, const QString &key,
                         const QString &value);

private:
    struct Data;
    QString m_path;
    std::unique_ptr<Data> d;
};
