#include "exchange/tool_files.h"

#include "base/errors.h"
#include "base/ini_file.h"
#include "base/locations.h"
#include "common/tool_protocol.h"
#include "exchange/run_tool.h"
#include "platform/file_descriptor.h"

#include <QFile>
#include <QList>
#include <QPair>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype TagUnits = ToolValueUnits;

using TParameters = QList<QPair<QString, QString>>;

// An exchange file keeps one value per line and trims it.
QString TagValue(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return CutUnits(text, TagUnits);
}

// A path that would reach the tool changed (broken over lines, or trimmed of the spaces and
// tabs the tools trim) names another file, so it is never passed. Paths are passed whole:
// cutting one would also name another file.
bool CanPass(const QString &path)
{
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    return !path.isEmpty() && !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'))
        && !isBlank(path.front()) && !isBlank(path.back());
}

// Whether the folder is the user's own and nobody else may write it, as the exchange folder
// chosen in the program folder is: nobody else can have put a link or a file of theirs there.
bool OnlyUserWrites(const QString &folder)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

void SetParameters(TIniFile &ini, const TParameters &keys)
{
    for (const auto &[key, value] : keys)
        ini.WriteString(QLatin1String(ToolProtocol::ParametersSection), key, value);
}

// Sets the keys over the parameter file's old content, read and written through one
// descriptor, instead of replacing the file: ext4 answers a file renamed over another by
// flushing it to the disk, which would cost the scan more than the tool's whole run. Only in a
// folder nobody else may write, and never through a link or into anything but a plain file of
// the folder's own; false when the file must be replaced instead.
bool RewriteInPlace(const QString &folder, const QString &path, const TParameters &keys)
{
    if (!OnlyUserWrites(folder))
        return false;
    TFd file(::open(QFile::encodeName(path).constData(),
                    O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)
        || info.st_nlink != 1 || info.st_size > ExchangeFileLimit)
        return false;
    QByteArray old(qsizetype(info.st_size), Qt::Uninitialized);
    if (::pread(file.get(), old.data(), size_t(old.size()), 0) != old.size())
        return false;
    TIniFile ini(path, old);
    SetParameters(ini, keys);
    const QByteArray text = ini.Text();
    // Cut to its new length only after the new text is in: a file cut to nothing is flushed too.
    if (::pwrite(file.get(), text.constData(), size_t(text.size()), 0) != text.size()
        || (info.st_size > text.size() && ::ftruncate(file.get(), text.size()) != 0))
        return false;
    return file.Close() == 0;
}

// Sets the keys in the given order, keeping the keys of earlier runs, and writes the file
// once, before the tool runs: the tool never sees a half-updated file.
bool WriteParameters(const QString &folder, const QString &prm, const TParameters &keys)
{
    try {
        if (RewriteInPlace(folder, prm, keys))
            return true;
        TIniFile ini(prm, TIniKind::Exchange);
        SetParameters(ini, keys);
        ini.Save();
        return true;
    } catch (const EQuavermill &) {
        return false;
    }
}

// Runs the tool of the program folder with its parameter file in the exchange folder; false
// when the run failed, after which the parameter file is gone.
bool RunWithParameters(const QString &programFolder, const QString &folder, const QString &tool,
                       const TParameters &keys)
{
    const QString prm = folder + tool + QStringLiteral(".prm");
    if (WriteParameters(folder, prm, keys) && RunTool(programFolder + tool, folder) >= 0)
        return true;
    QFile::remove(prm);
    return false;
}

TParameters TagParameters(const QString &name, const QString &album, const QString &composer,
                          const QString &artist)
{
    return {{QLatin1String(ToolProtocol::NameKey), TagValue(name)},
            {QLatin1String(ToolProtocol::AlbumKey), TagValue(album)},
            {QLatin1String(ToolProtocol::ComposerKey), TagValue(composer)},
            {QLatin1String(ToolProtocol::ArtistKey), TagValue(artist)}};
}

} // namespace

QString WmaPathFor(const QString &wavPath)
{
    const qsizetype dot = wavPath.lastIndexOf(QLatin1Char('.'));
    return (dot > wavPath.lastIndexOf(QLatin1Char('/')) + 1 ? wavPath.left(dot) : wavPath)
        + QStringLiteral(".wma");
}

bool ToolExists(const QString &programFolder, const QString &name)
{
    return QFile::exists(programFolder + name);
}

QString CutUnits(const QString &text, qsizetype units)
{
    if (text.size() <= units)
        return text;
    if (units > 0 && text.at(units - 1).isHighSurrogate())
        --units;
    return text.left(units);
}

bool ConvertWavToWma(const QString &programFolder, const QString &wavPath, const QString &name,
                     const QString &album, const QString &composer, const QString &artist)
{
    const QString tool = QStringLiteral("wav2wma");
    if (!ToolExists(programFolder, tool) || !CanPass(wavPath))
        return false;
    const TParameters keys = TParameters{{QLatin1String(ToolProtocol::OperationKey),
                                          QLatin1String(ToolProtocol::ConvertOperation)},
                                         {QLatin1String(ToolProtocol::FileToWorkKey), wavPath}}
        + TagParameters(name, album, composer, artist);
    // The caller deletes the WAV file after a success, so a run that ends well but leaves no
    // WMA (as when the system's loader cannot find the converter's libraries and ends it with
    // 127) must not count as one.
    return RunWithParameters(programFolder, ExchangeFolder(programFolder), tool, keys)
        && QFile::exists(WmaPathFor(wavPath));
}

void UpdateWmaTags(const QString &programFolder, const QString &path, const QString &name,
                   const QString &album, const QString &artist, const QString &composer)
{
    const QString tool = QStringLiteral("wma");
    if (!ToolExists(programFolder, tool) || !CanPass(path))
        return;
    const TParameters keys = TParameters{{QLatin1String(ToolProtocol::FileToWorkKey), path},
                                         {QLatin1String(ToolProtocol::OperationKey),
                                          QLatin1String(ToolProtocol::UpdateTagsOperation)}}
        + TagParameters(name, album, composer, artist);
    RunWithParameters(programFolder, ExchangeFolder(programFolder), tool, keys);
}

TWmaTags ReadWmaTags(const QString &programFolder, const QString &path)
{
    const QString tool = QStringLiteral("wma");
    if (!ToolExists(programFolder, tool) || !CanPass(path))
        return {};
    // A results file left by an interrupted earlier run must not pass for this file's tags.
    const QString folder = ExchangeFolder(programFolder);
    const QString rslt = folder + QStringLiteral("wma.rslt");
    const QByteArray rsltName = QFile::encodeName(rslt);
    ::unlink(rsltName.constData());
    if (!RunWithParameters(programFolder, folder, tool,
                           {{QLatin1String(ToolProtocol::FileToWorkKey), path},
                            {QLatin1String(ToolProtocol::OperationKey),
                             QLatin1String(ToolProtocol::ReadTagsOperation)}}))
        return {};
    TWmaTags tags;
    try {
        const TIniFile results(rslt, TIniKind::Exchange);
        const auto read = [&results](const char *key) {
            return CutUnits(results.ReadString(QLatin1String(ToolProtocol::ResultsSection),
                                               QLatin1String(key), QString()),
                            TagUnits);
        };
        tags = {read(ToolProtocol::NameKey), read(ToolProtocol::AlbumKey),
                read(ToolProtocol::ArtistKey), read(ToolProtocol::ComposerKey)};
    } catch (const EQuavermill &) {
        // Results that cannot be read give four empty texts.
    }
    ::unlink(rsltName.constData());
    return tags;
}
