#include "base/locations.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// The config and exchange folders a user's program uses. Tests run as root here, so a folder's
// mode alone must make it read-only for the program.
class TestLocations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void configFile_data();
    void configFile();
    void exchangeFolder_data();
    void exchangeFolder();
    void exchangeFolderIsChosenOnce();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program; // the program folder of the test, ending in "/"
};

// Somebody else: the user nobody.
constexpr uid_t OtherUser = 65534;

void TestLocations::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char *folder : {"program", "home", "run"})
        QVERIFY(QDir().mkpath(path(QLatin1String(folder))));
    QVERIFY(QFile::setPermissions(path(QStringLiteral("run")),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                      | QFileDevice::ExeOwner));
    qputenv("HOME", QFile::encodeName(path(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path(QStringLiteral("run"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(path(QStringLiteral("cache"))));
    m_program = path(QStringLiteral("program")) + QLatin1Char('/');
}

void TestLocations::cleanup()
{
    // Whatever a test changed, the temporary folder must be removable again.
    chmod(QFile::encodeName(m_dir->path()).constData(), 0700);
    QDirIterator it(m_dir->path(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        chmod(QFile::encodeName(it.next()).constData(), 0700);
}

void TestLocations::configFile_data()
{
    QTest::addColumn<QString>("configHome"); // XDG_CONFIG_HOME: unset, or a path in the test folder
    QTest::addColumn<QString>("ownCopy");    // the folder of the user's copy, if there is one
    QTest::addColumn<bool>("ownCopyRead");

    const QString config = QStringLiteral("config");
    QTest::newRow("no own copy") << config << QString() << false;
    QTest::newRow("own copy") << config << QStringLiteral("config/Quavermill") << true;
    QTest::newRow("XDG_CONFIG_HOME unset")
        << QString() << QStringLiteral("home/.config/Quavermill") << true;
    // The XDG rules ignore a relative path.
    QTest::newRow("relative XDG_CONFIG_HOME")
        << QStringLiteral("relative") << QStringLiteral("home/.config/Quavermill") << true;
    QTest::newRow("beside the product folder") << config << config << false;
}

void TestLocations::configFile()
{
    QFETCH(QString, configHome);
    QFETCH(QString, ownCopy);
    QFETCH(bool, ownCopyRead);
    if (configHome.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else if (configHome == QLatin1String("relative"))
        qputenv("XDG_CONFIG_HOME", "config");
    else
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(configHome)));
    for (const char *name : {SettingsFileName, TextFileName}) {
        const QString own = path(ownCopy) + QLatin1Char('/') + QLatin1String(name);
        if (!ownCopy.isEmpty()) {
            QVERIFY(QDir().mkpath(path(ownCopy)));
            QVERIFY(QFile(own).open(QIODevice::WriteOnly));
        }
        QCOMPARE(ConfigFile(m_program, name), ownCopyRead ? own : m_program + QLatin1String(name));
    }
}

void TestLocations::exchangeFolder_data()
{
    QTest::addColumn<int>("programMode");
    QTest::addColumn<QString>("program");  // own, others' (another user's), system, open parent
    QTest::addColumn<QString>("runtime");  // what XDG_RUNTIME_DIR holds as "quavermill"
    QTest::addColumn<QString>("expected"); // program, runtime or cache

    const QString own = QStringLiteral("own");
    QTest::newRow("the user's own program folder")
        << 0755 << own << QString() << QStringLiteral("program");
    QTest::newRow("read-only program folder, even for root")
        << 0555 << own << QString() << QStringLiteral("runtime");
    QTest::newRow("only the group may write")
        << 0575 << own << QString() << QStringLiteral("runtime");
    QTest::newRow("another user's folder that everybody may write")
        << 0777 << QStringLiteral("others'") << QString() << QStringLiteral("runtime");
    // Others could plant links there and read what passes.
    QTest::newRow("the user's own folder that everybody may write")
        << 0777 << own << QString() << QStringLiteral("runtime");
    QTest::newRow("the user's own folder that the group may write")
        << 0775 << own << QString() << QStringLiteral("runtime");
    QTest::newRow("a folder above that others may write")
        << 0755 << QStringLiteral("open parent") << QString() << QStringLiteral("runtime");
    QTest::newRow("a folder above that others may write, sticky like /tmp")
        << 0755 << QStringLiteral("sticky parent") << QString() << QStringLiteral("program");
    // An installed package, even when root runs it and owns the folder.
    QTest::newRow("a system folder")
        << 0755 << QStringLiteral("system") << QString() << QStringLiteral("runtime");
    QTest::newRow("an existing private folder")
        << 0555 << own << QStringLiteral("private") << QStringLiteral("runtime");
    QTest::newRow("no runtime folder")
        << 0555 << own << QStringLiteral("unset") << QStringLiteral("cache");
    QTest::newRow("a relative runtime folder")
        << 0555 << own << QStringLiteral("relative") << QStringLiteral("cache");
    QTest::newRow("a runtime folder that does not exist")
        << 0555 << own << QStringLiteral("missing") << QStringLiteral("cache");
    QTest::newRow("open to others")
        << 0555 << own << QStringLiteral("open") << QStringLiteral("cache");
    QTest::newRow("a link to a private folder")
        << 0555 << own << QStringLiteral("link") << QStringLiteral("cache");
    QTest::newRow("a file") << 0555 << own << QStringLiteral("file") << QStringLiteral("cache");
    QTest::newRow("another user's")
        << 0555 << own << QStringLiteral("others") << QStringLiteral("cache");
}

void TestLocations::exchangeFolder()
{
    QFETCH(int, programMode);
    QFETCH(QString, program);
    QFETCH(QString, runtime);
    QFETCH(QString, expected);
    const bool programOthers = program == QLatin1String("others'");
    if ((programOthers || runtime == QLatin1String("others")) && geteuid() != 0)
        QSKIP("giving a folder to another user needs root");

    const QByteArray programPath = QFile::encodeName(path(QStringLiteral("program")));
    if (programOthers)
        QCOMPARE(chown(programPath.constData(), OtherUser, OtherUser), 0);
    QCOMPARE(chmod(programPath.constData(), mode_t(programMode)), 0);
    if (program.endsWith(QLatin1String("parent")))
        QCOMPARE(chmod(QFile::encodeName(m_dir->path()).constData(),
                       program.startsWith(QLatin1String("sticky")) ? 01777 : 0777),
                 0);
    if (program == QLatin1String("system"))
        m_program = QStringLiteral("/usr/lib/");
    const QString entry = path(QStringLiteral("run/quavermill"));
    const QByteArray native = QFile::encodeName(entry);
    if (runtime == QLatin1String("unset"))
        qunsetenv("XDG_RUNTIME_DIR");
    else if (runtime == QLatin1String("relative"))
        qputenv("XDG_RUNTIME_DIR", "run");
    else if (runtime == QLatin1String("missing"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path(QStringLiteral("gone"))));
    else if (runtime == QLatin1String("private"))
        QCOMPARE(mkdir(native.constData(), 0700), 0);
    else if (runtime == QLatin1String("open"))
        QCOMPARE(mkdir(native.constData(), 0700) | chmod(native.constData(), 0755), 0);
    else if (runtime == QLatin1String("link"))
        QCOMPARE(mkdir(QFile::encodeName(path(QStringLiteral("elsewhere"))).constData(), 0700)
                     | symlink("../elsewhere", native.constData()),
                 0);
    else if (runtime == QLatin1String("file"))
        QVERIFY(QFile(entry).open(QIODevice::WriteOnly));
    else if (runtime == QLatin1String("others"))
        QCOMPARE(mkdir(native.constData(), 0700) | chown(native.constData(), OtherUser, OtherUser),
                 0);

    const QString folders[] = {m_program, entry + QLatin1Char('/'),
                               path(QStringLiteral("cache/quavermill/"))};
    const QString chosen = ChooseExchangeFolder(m_program);
    const int index = expected == QLatin1String("program") ? 0
        : expected == QLatin1String("runtime")             ? 1
                                                           : 2;
    QCOMPARE(chosen, folders[index]);
    // A private folder is made for this user alone.
    struct stat info = {};
    QCOMPARE(lstat(QFile::encodeName(chosen).constData(), &info), 0);
    QVERIFY(S_ISDIR(info.st_mode));
    if (index > 0)
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
}

void TestLocations::exchangeFolderIsChosenOnce()
{
    QCOMPARE(chmod(QFile::encodeName(path(QStringLiteral("program"))).constData(), 0555), 0);
    const QString first = path(QStringLiteral("run/quavermill/"));
    QCOMPARE(ExchangeFolder(m_program), first);
    // The tools of one run must keep finding their files where the program put them.
    qputenv("XDG_RUNTIME_DIR", "");
    QCOMPARE(ExchangeFolder(m_program), first);
    // A folder that has gone is chosen anew.
    QVERIFY(QDir(first).removeRecursively());
    QCOMPARE(ExchangeFolder(m_program), path(QStringLiteral("cache/quavermill/")));
    // So is the folder of another program folder (a test's).
    const QString home = path(QStringLiteral("home")) + QLatin1Char('/');
    QCOMPARE(ExchangeFolder(home), home);
}

QTEST_GUILESS_MAIN(TestLocations)
#include "tst_locations.moc"
