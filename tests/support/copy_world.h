#pragma once

// A world for copying tracks into storage: program, data and storage folders in a temporary
// folder, a volume table for the sources, and the means to compare the storage
// folder before and after a run.

#include "base/locations.h"
#include "catalog/catalog_record.h"
#include "import/copy_run.h"
#include "test_services.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TCopyWorld {
public:
    TCopyWorld()
    {
        Root = m_dir.path() + QLatin1Char('/');
        Storage = Root + QStringLiteral("Library");
        QDir().mkpath(Root + QStringLiteral("program"));
        Services =
            TestServices(Root + QStringLiteral("program"), Root + QStringLiteral("volumes.txt"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(Root + QStringLiteral("data")));
        SetVolumes({QStringLiteral("stick\tremovable\t1")});
        UseSettings(true, true);
    }

    void UseSettings(bool overwrite, bool convertToWma)
    {
        TSettings settings;
        settings.StorageDir = Storage;
        settings.Overwrite = overwrite;
        settings.ConvertToWMA = convertToWma;
        Services.Settings = settings;
    }

    // The options of a copy run into the storage folder, as the copy page gives them.
    TCopyOptions Options(bool overwrite = true, bool convertToWma = true) const
    {
        return {Storage,
                overwrite,
                convertToWma,
                Services.Volumes,
                Services.UnknownText,
                Services.ProgramFolder};
    }

    // One line per volume: "folder<TAB>kind<TAB>present[<TAB>CUE sheet]", relative to Root.
    void SetVolumes(const QStringList &lines) const
    {
        QFile file(Root + QStringLiteral("volumes.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(lines.join(QLatin1Char('\n')).toUtf8());
    }

    // Writes a file below Root and returns its full path.
    QString Write(const QString &relative, const QByteArray &content) const
    {
        const QString path = Root + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    static QString Record(const QString &artist, const QString &album, const QString &fileName,
                          const QString &name = QStringLiteral("Name"))
    {
        return BuildRecord(QStringLiteral("DAT"), QStringLiteral("Composer"), artist, album,
                           QStringLiteral("0"), fileName, name, QStringLiteral("0"));
    }

    // Every entry below the storage folder, hidden ones too, with the size and checksum of
    // each file: two listings are equal only when nothing was added, removed or changed.
    QStringList StorageListing() const
    {
        QStringList listing;
        QDirIterator it(Storage,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry = it.nextFileInfo();
            QString line = entry.filePath().mid(Storage.size());
            if (entry.isFile()) {
                QFile file(entry.filePath());
                file.open(QIODevice::ReadOnly);
                line += QStringLiteral(" %1 %2")
                            .arg(entry.size())
                            .arg(QString::fromLatin1(
                                QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5)
                                    .toHex()));
            }
            listing.append(line);
        }
        listing.sort();
        return listing;
    }

    QString Root;    // ends in "/"
    QString Storage; // no trailing "/"
    TServices Services;

private:
    QTemporaryDir m_dir;
};
