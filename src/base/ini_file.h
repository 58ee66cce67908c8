#pragma once

#include <QString>
#include <memory>

// What an ini file is to the program. Settings and texts are the user's own and may be links.
// Exchange files lie where the program and its tools meet: one that is a link, no regular file
// or larger than ExchangeFileLimit was put there by somebody else, so it reads as empty and
// Save replaces it.
enum class TIniKind { Settings, Exchange };
// Far more than any parameter or result file holds (a path and four texts, or a hundred
// descriptions of a disc of 99 tracks); the tools keep the same limit.
inline constexpr qint64 ExchangeFileLimit = 4 << 20;

// One ini file, read whole when opened. Section and key names are matched without regard to
// case, values are trimmed, a missing key gives the caller's default and a key present with
// an empty value gives the empty text. Text is UTF-8.
class TIniFile {
public:
    // Reads the file if it exists; a missing file reads as empty. A settings file that exists
    // but cannot be read, or is no regular file, raises EQuavermill.
    explicit TIniFile(const QString &path, TIniKind kind = TIniKind::Settings);
    // The file at path as the caller read it: text holds its bytes.
    TIniFile(const QString &path, const QByteArray &text);
    ~TIniFile();
    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    const QString &path() const { return m_path; }
    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    bool HasKey(const QString &section, const QString &key) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    // The whole file as Save writes it.
    QByteArray Text() const;
    // Writes the whole file at once (temporary file and rename, not synced: these are the
    // tools' exchange files), in place of whatever stands at the path: a link there is
    // replaced, never written through. Raises EQuavermill on failure.
    void Save() const;

    // Sets one key in the file at path, keeping every other key of the file.
    static void WriteKey(const QString &path, const QString &section, const QString &key,
                         const QString &value);

private:
    void Load(const QByteArray &bytes);

    struct Data;
    QString m_path;
    std::unique_ptr<Data> d;
};
