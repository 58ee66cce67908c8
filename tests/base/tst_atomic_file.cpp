#include "base/atomic_file.h"
#include "base/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestAtomicFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString Path(const QString &name) const { return m_dir.filePath(name); }

    static void Write(const QString &path, const QByteArray &bytes)
    {
        TAtomicFile file(path);
        file.Write(bytes);
        file.Commit(TWriteSync::Durable);
    }

    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    QStringList Entries(const QString &folder) const
    {
        return QDir(folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

private Q_SLOTS:
    // A link (a catalog kept on another disk) stays a link; the file it ends at is replaced,
    // and the temporary file lies beside that file.
    void writesThroughLinks_data()
    {
        QTest::addColumn<QString>("linkTarget"); // as written in the link
        QTest::addColumn<QString>("target");     // the file that gets the content
        QTest::newRow("absolute") << Path(u"disk/real.dat"_s) << Path(u"disk/real.dat"_s);
        QTest::newRow("relative") << u"disk/real.dat"_s << Path(u"disk/real.dat"_s);
        QTest::newRow("link to a link") << u"hop.dat"_s << Path(u"disk/real.dat"_s);
        QTest::newRow("link to a missing file") << u"disk/new.dat"_s << Path(u"disk/new.dat"_s);
    }

    void writesThroughLinks()
    {
        QFETCH(QString, linkTarget);
        QFETCH(QString, target);
        QDir(Path(u"disk"_s)).removeRecursively();
        QVERIFY(QDir().mkpath(Path(u"disk"_s)));
        QFile::remove(Path(u"hop.dat"_s));
        QFile::remove(Path(u"link.dat"_s));
        Write(Path(u"disk/real.dat"_s), "old");
        QVERIFY(QFile::link(u"disk/real.dat"_s, Path(u"hop.dat"_s)));
        QVERIFY(QFile::link(linkTarget, Path(u"link.dat"_s)));

        Write(Path(u"link.dat"_s), "new");
        QVERIFY(QFileInfo(Path(u"link.dat"_s)).isSymLink());
        QCOMPARE(QFileInfo(Path(u"link.dat"_s)).canonicalFilePath(),
                 QFileInfo(target).canonicalFilePath());
        QCOMPARE(Read(target), "new");
        QCOMPARE(Entries(Path(u"disk"_s)).size(), target.endsWith(u"new.dat"_s) ? 2 : 1);
    }

    // A save cut off by a kill leaves its temporary file; the next start removes it, and
    // nothing else: not a file still being written, nor anything that is not the writer's.
    void staleTemporaryFilesGo()
    {
        const QString folder = Path(u"stale"_s);
        QVERIFY(QDir().mkpath(folder));
        const pid_t writer = fork();
        if (writer == 0) {
            TAtomicFile file(folder + u"/cut.dat"_s);
            file.Write("half a catalog");
            _exit(0); // as a kill would: no destructor runs
        }
        QVERIFY(writer > 0);
        int status = 0;
        QCOMPARE(waitpid(writer, &status, 0), writer);
        const QStringList left = Entries(folder);
        QCOMPARE(left.size(), 1);
        QVERIFY(left.first().startsWith(u"cut.dat."_s));

        TAtomicFile running(folder + u"/running.dat"_s);
        running.Write("being written");
        for (const QString &name : {u"notes.txt"_s, u"old.dat.AbC123"_s})
            Write(folder + QLatin1Char('/') + name, "kept");
        QVERIFY(QDir().mkpath(folder + u"/folder.dat.quavermill-2147483647-AbC123"_s));

        RemoveStaleTemporaryFiles(folder);
        const QStringList kept = Entries(folder);
        QCOMPARE(kept.size(), 4);
        QVERIFY(!kept.contains(left.first()));
        running.Commit(TWriteSync::Transient);
        QCOMPARE(Read(folder + u"/running.dat"_s), "being written");
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomic_file.moc"
