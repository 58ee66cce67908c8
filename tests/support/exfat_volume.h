#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

// An exFAT volume, as many USB disks carry, in an image file on a loop device, mounted through
// FUSE at a folder: a file system that takes "Song.mp3" and "song.mp3" for one name. Needs
// root, a free loop device, mkfs.exfat and exfat-fuse; Mounted() is false without them.
class TExfatVolume {
public:
    TExfatVolume(const QString &image, const QString &mountPoint) : m_mountPoint(mountPoint)
    {
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(32 << 20))
            return;
        file.close();
        if (!Run(QStringLiteral("mkfs.exfat"), {image})
            || !Run(QStringLiteral("losetup"),
                    {QStringLiteral("-f"), QStringLiteral("--show"), image}, &m_device))
            return;
        m_mounted = Run(QStringLiteral("mount.exfat-fuse"), {m_device, mountPoint});
    }
    ~TExfatVolume()
    {
        if (m_mounted)
            Run(QStringLiteral("umount"), {m_mountPoint});
        if (!m_device.isEmpty())
            Run(QStringLiteral("losetup"), {QStringLiteral("-d"), m_device});
    }
    TExfatVolume(const TExfatVolume &) = delete;
    TExfatVolume &operator=(const TExfatVolume &) = delete;

    bool Mounted() const { return m_mounted; }

private:
    // True when the program ran well; output, when given, gets what it printed.
    static bool Run(const QString &program, const QStringList &arguments, QString *output = nullptr)
    {
        QProcess process;
        process.start(program, arguments);
        const bool ran = process.waitForFinished(30000)
            && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (output)
            *output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
        return ran;
    }

    QString m_mountPoint;
    QString m_device;
    bool m_mounted = false;
};
