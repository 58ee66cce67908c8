#include "test_media.h"
#include "tool_process.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace TestMedia;

// Whatever a tool is told to read, its parameter file included, is read only when it is a
// plain file: a named pipe or a folder in its place fails the tool at once, with nothing
// written. So does a parameter file that is a link or larger than any the program writes.
class TestToolInputs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void onlyPlainFilesAreRead_data();
    void onlyPlainFilesAreRead();
};

void TestToolInputs::onlyPlainFilesAreRead_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QByteArray>("operation"); // its parameters: "Operation" and "FileToWork"
    QTest::addColumn<QString>("special");      // the file made something else
    QTest::addColumn<QString>("kind");         // named pipe, folder, link or giant

    const QByteArray convert = "CONVERTWAVTOWMA", read = "READWMATAGS", update = "UPDATEWMATAGS";
    const QString wav2wma = QStringLiteral("wav2wma"), wma = QStringLiteral("wma");
    const QString wav = QStringLiteral("in.wav"), mp3 = QStringLiteral("in.mp3");
    for (const char *kind : {"named pipe", "folder"}) {
        const QString is = QLatin1String(kind);
        QTest::addRow("wav2wma, WAV is a %s", kind) << wav2wma << convert << wav << is;
        QTest::addRow("wav2wma, wav2wma.prm is a %s", kind)
            << wav2wma << convert << QStringLiteral("wav2wma.prm") << is;
        QTest::addRow("wma, wma.prm is a %s", kind)
            << wma << read << QStringLiteral("wma.prm") << is;
        QTest::addRow("wma, reading a %s", kind) << wma << read << mp3 << is;
        QTest::addRow("wma, updating a %s", kind) << wma << update << mp3 << is;
    }
    for (const char *kind : {"link", "giant"})
        QTest::addRow("wma, wma.prm is a %s", kind)
            << wma << read << QStringLiteral("wma.prm") << QString::fromLatin1(kind);
}

void TestToolInputs::onlyPlainFilesAreRead()
{
    QFETCH(QString, tool);
    QFETCH(QByteArray, operation);
    QFETCH(QString, special);
    QFETCH(QString, kind);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(InstallTools(folder.path(), {tool, QStringLiteral("wma-update")}));
    const QString prm = folder.filePath(tool + QStringLiteral(".prm"));
    const QString work = folder.filePath(operation == "CONVERTWAVTOWMA" ? QStringLiteral("in.wav")
                                                                        : QStringLiteral("in.mp3"));
    const QByteArray parameters =
        "[Parameters]\nOperation=" + operation + "\nFileToWork=" + work.toUtf8() + "\nName=N\n";
    if (special.endsWith(QLatin1String(".prm")))
        QVERIFY(
            WriteFile(work, operation == "CONVERTWAVTOWMA" ? Wav(44100, 2, 4410) : SilentMp3()));
    else
        QVERIFY(WriteFile(prm, parameters));
    const QString path = folder.filePath(special);
    if (kind == QLatin1String("named pipe"))
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(path));
    else if (kind == QLatin1String("link"))
        QVERIFY(WriteFile(path + QStringLiteral(".planted"), parameters)
                && QFile::link(path + QStringLiteral(".planted"), path));
    else
        QVERIFY(WriteFile(path, parameters + '#' + QByteArray(5 << 20, 'x') + '\n'));
    const auto listing = [&folder] {
        return QDir(folder.path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const QStringList before = listing();

    const TToolRun run = RunToolIn(folder.path(), tool, 10000);
    QVERIFY2(!run.crashed, "the tool hung or crashed");
    QCOMPARE(run.exitCode, 255);
    QCOMPARE(run.standardError.count('\n'), 1);
    QCOMPARE(listing(), before);
}

QTEST_GUILESS_MAIN(TestToolInputs)
#include "tst_tool_inputs.moc"
