#include "base/locations.h"
#include "base/settings.h"
#include "exchange/tool_files.h"
#include "test_media.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace TestMedia;

// The program installed as the package installs it, in a program folder its user cannot
// write: the tools keep their exchange files in the user's runtime folder, and the user's own
// settings.ini is read. Tests run as root here, and root writes a folder of mode 0555 all the
// same: the program must leave it alone by its own rule, and a read-only mount shows that it
// does not even try.
class TestInstalledProgram : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readOnlyProgramFolder_data();
    void readOnlyProgramFolder();
    void twoUsersReadAtOnce();

private:
    QString path(const QString &name) const { return m_root.filePath(name); }
    QString ProgramDir() const { return path(QStringLiteral("stage/usr/lib/quavermill/")); }
    QStringList ProgramFiles() const
    {
        return QDir(ProgramDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    // A runtime folder of its own, as the system gives every user.
    QByteArray RuntimeFolder(const QString &name) const;
    QTemporaryDir m_root;
    QStringList m_installed;
};

static QString Utf8(const char *text)
{
    return QString::fromUtf8(text);
}

QByteArray TestInstalledProgram::RuntimeFolder(const QString &name) const
{
    const QByteArray folder = QFile::encodeName(path(name));
    return mkdir(folder.constData(), 0700) == 0 ? folder : QByteArray();
}

void TestInstalledProgram::initTestCase()
{
    QVERIFY(m_root.isValid());
    QProcess install;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), path(QStringLiteral("stage")));
    install.setProcessEnvironment(environment);
    install.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    install.setStandardOutputFile(QProcess::nullDevice());
    install.start(QStringLiteral(QUAVERMILL_CMAKE),
                  {QStringLiteral("--install"), QStringLiteral(QUAVERMILL_BUILD_DIR),
                   QStringLiteral("--prefix"), QStringLiteral("/usr")});
    QVERIFY(install.waitForFinished(120000));
    QCOMPARE(install.exitCode(), 0);
    QVERIFY(QFile::exists(ProgramDir() + QStringLiteral("wma")));

    // The installation's own settings, which the user's copy replaces.
    QVERIFY(WriteFile(ProgramDir() + QLatin1String(SettingsFileName),
                      "[Settings]\nPlayer=vlc\nUseWMP=0\n"));
    QVERIFY(QDir().mkpath(path(QStringLiteral("config/Quavermill"))));
    QVERIFY(WriteFile(path(QStringLiteral("config/Quavermill/")) + QLatin1String(SettingsFileName),
                      "[Settings]\nPlayer=mpv\nUseWMP=1\n"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
    QVERIFY(QDir().mkpath(path(QStringLiteral("music"))));
    QVERIFY(chmod(QFile::encodeName(ProgramDir()).constData(), 0555) == 0);
    m_installed = ProgramFiles();
}

void TestInstalledProgram::readOnlyProgramFolder_data()
{
    QTest::addColumn<bool>("mounted");
    QTest::newRow("mode 0555") << false;
    // Owner-writable bits, but a read-only file system: the system's answer decides.
    QTest::newRow("read-only mount") << true;
}

void TestInstalledProgram::readOnlyProgramFolder()
{
    QFETCH(bool, mounted);
    const QByteArray program = QFile::encodeName(ProgramDir());
    if (mounted) {
        // In a mount namespace of this process alone, which ends with it.
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr)
            || mount(program.constData(), program.constData(), nullptr, MS_BIND, nullptr))
            QSKIP("mounting is not allowed here");
        QCOMPARE(chmod(program.constData(), 0755), 0);
        QCOMPARE(
            mount(nullptr, program.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
            0);
    }
    const QString tag = QString::fromUtf8(QTest::currentDataTag());
    const QByteArray runtime = RuntimeFolder(tag);
    QVERIFY(!runtime.isEmpty());
    qputenv("XDG_RUNTIME_DIR", runtime);
    const TSettings settings = LoadSettings(ProgramDir());
    QCOMPARE(settings.Player, QStringLiteral("mpv"));
    QVERIFY(settings.UseWMP);

    const QString exchange = QFile::decodeName(runtime) + QStringLiteral("/quavermill/");
    QCOMPARE(ExchangeFolder(ProgramDir()), exchange);
    const QString mp3 = path(QStringLiteral("music/")) + tag + QStringLiteral(".mp3");
    QVERIFY(WriteFile(mp3, SilentMp3()));
    const QStringList tags{Utf8("Jóga"), Utf8("Homogenic"), Utf8("Björk"), Utf8("Sjón")};
    UpdateWmaTags(ProgramDir(), mp3, tags[0], tags[1], tags[2], tags[3]);
    const TWmaTags read = ReadWmaTags(ProgramDir(), mp3);
    QCOMPARE((QStringList{read.Name, read.Album, read.Artist, read.Composer}), tags);

    QCOMPARE(ProgramFiles(), m_installed);
    // The parameter file stays after a successful run, as the tools expect; the results go.
    QCOMPARE(QDir(exchange).entryList(QDir::Files), QStringList{QStringLiteral("wma.prm")});
    // A folder that has gone is chosen anew: the next row's runtime folder.
    QVERIFY(QDir(exchange).removeRecursively());
    if (mounted) {
        QCOMPARE(umount(program.constData()), 0);
        QCOMPARE(chmod(program.constData(), 0555), 0);
    }
}

void TestInstalledProgram::twoUsersReadAtOnce()
{
    // Each reader runs its tool a hundred times: had they one exchange folder, one would read
    // the other's file before long.
    QList<QProcess *> readers;
    for (const QString &user : {QStringLiteral("ann"), QStringLiteral("bob")}) {
        const QString mp3 = path(QStringLiteral("music/")) + user + QStringLiteral(".mp3");
        QVERIFY(WriteFile(mp3, SilentMp3()));
        UpdateWmaTags(ProgramDir(), mp3, user + QStringLiteral("'s song"), QString(), QString(),
                      QString());
        auto *reader = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                           QFile::decodeName(RuntimeFolder(user)));
        reader->setProcessEnvironment(environment);
        reader->setProgram(QStringLiteral(QUAVERMILL_TEST_BIN_DIR "/tag_reader"));
        reader->setArguments(
            {ProgramDir(), mp3, user + QStringLiteral("'s song"), QStringLiteral("100")});
        reader->setProcessChannelMode(QProcess::ForwardedChannels);
        readers.append(reader);
    }
    for (QProcess *reader : std::as_const(readers))
        reader->start();
    for (QProcess *reader : std::as_const(readers)) {
        QVERIFY(reader->waitForFinished(120000));
        QCOMPARE(reader->exitStatus(), QProcess::NormalExit);
        QCOMPARE(reader->exitCode(), 0);
    }
    QCOMPARE(ProgramFiles(), m_installed);
}

QTEST_GUILESS_MAIN(TestInstalledProgram)
#include "tst_installed_program.moc"
