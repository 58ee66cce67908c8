#include "base/locations.h"
#include "exchange/tool_files.h"
#include "test_media.h"
#include "tool_process.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <taglib/asffile.h>

using namespace TestMedia;

class TestWav2WmaTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void converts_data();
    void converts();
    void badWavLeavesNoWma_data();
    void badWavLeavesNoWma();
    void sigtermLeavesNoWma();

private:
    QString file(const QString &name) const { return m_dir->filePath(name); }
    QString Program() const { return m_dir->path() + QLatin1Char('/'); }
    // Names in the folder apart from the tools and their parameter files.
    QStringList Leftovers() const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

static QString Utf8(const char *text)
{
    return QString::fromUtf8(text);
}

void TestWav2WmaTool::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(InstallTools(m_dir->path(), {QStringLiteral("wav2wma")}));
}

QStringList TestWav2WmaTool::Leftovers() const
{
    QStringList names =
        QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    names.removeAll(QStringLiteral("wav2wma"));
    names.removeAll(QStringLiteral("wav2wma.prm"));
    return names;
}

void TestWav2WmaTool::converts_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<qint64>("frames");

    QTest::newRow("CD audio, 2.5 s") << 44100 << 2 << qint64(110250);
    QTest::newRow("48 kHz mono") << 48000 << 1 << qint64(48000);
    QTest::newRow("8 kHz mono, resampled") << 8000 << 1 << qint64(12000);
    QTest::newRow("96 kHz stereo, resampled") << 96000 << 2 << qint64(96000);
    QTest::newRow("six channels, mixed down") << 22050 << 6 << qint64(22050);
    QTest::newRow("a few samples") << 44100 << 2 << qint64(10);
}

void TestWav2WmaTool::converts()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(qint64, frames);

    const QString wav = file(Utf8("Björk — Jóga.wav"));
    const QByteArray wavBytes = Wav(rate, channels, frames);
    QVERIFY(WriteFile(wav, wavBytes));
    QVERIFY(ConvertWavToWma(Program(), wav, Utf8("Björk — Jóga"), Utf8("Homogenic"), Utf8("Sjón"),
                            Utf8("Björk")));

    const QString wma = file(Utf8("Björk — Jóga.wma"));
    QCOMPARE(Leftovers(), (QStringList{QFileInfo(wav).fileName(), QFileInfo(wma).fileName()}));
    QCOMPARE(ReadFile(wav), wavBytes);

    // The encoder works in whole frames of 2048 samples, so up to one frame of silence pads the end.
    // The tone must start where it started: a lost first frame would show as a shorter file.
    int decodedRate = 0;
    const qint64 decoded = DecodedSamples(wma, &decodedRate);
    QVERIFY(decodedRate > 0);
    const double seconds = double(frames) / rate;
    const double decodedSeconds = double(decoded) / decodedRate;
    QVERIFY2(decodedSeconds >= seconds && decodedSeconds <= seconds + 2 * 2048.0 / decodedRate,
             qPrintable(QStringLiteral("%1 s decoded from %2 s").arg(decodedSeconds).arg(seconds)));

    TagLib::ASF::File tagged(QFile::encodeName(wma).constData());
    QVERIFY(tagged.isValid());
    QCOMPARE(QString::fromStdString(tagged.tag()->title().to8Bit(true)), Utf8("Björk — Jóga"));
    QCOMPARE(QString::fromStdString(tagged.tag()->album().to8Bit(true)), Utf8("Homogenic"));
    QCOMPARE(QString::fromStdString(tagged.tag()->artist().to8Bit(true)), Utf8("Björk"));
    const TagLib::ASF::AttributeList composers = tagged.tag()->attribute("WM/Composer");
    QCOMPARE(composers.size(), 1u);
    QCOMPARE(QString::fromStdString(composers.front().toString().to8Bit(true)), Utf8("Sjón"));
}

void TestWav2WmaTool::badWavLeavesNoWma_data()
{
    QTest::addColumn<QByteArray>("content");

    QByteArray noise(8192, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 251);
    QByteArray compressed = Wav(44100, 2, 4410);
    compressed[20] = char(0x55); // format tag of MPEG layer III audio
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("noise") << noise;
    QTest::newRow("header cut short") << Wav(44100, 2, 100).left(30);
    QTest::newRow("header, no samples") << WavHeader(44100, 2, 44100);
    QTest::newRow("not PCM") << compressed;
    QTest::newRow("RIFF, then noise") << QByteArray("RIFF\xff\xff\xff\x7fWAVE") + noise;
}

void TestWav2WmaTool::badWavLeavesNoWma()
{
    QFETCH(QByteArray, content);
    const QString wav = file(QStringLiteral("bad.wav"));
    QVERIFY(WriteFile(wav, content));
    const TToolRun run =
        RunToolWith(m_dir->path(), QStringLiteral("wav2wma"),
                    "[Parameters]\nOperation=CONVERTWAVTOWMA\nFileToWork=" + wav.toUtf8() + '\n');
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 255);
    QCOMPARE(run.standardError.count('\n'), 1);
    QCOMPARE(Leftovers(), QStringList{QStringLiteral("bad.wav")});
}

// The source is a sparse WAV of more than six hours of silence, so the conversion is certainly
// running when SIGTERM arrives.
void TestWav2WmaTool::sigtermLeavesNoWma()
{
    const QString wav = file(QStringLiteral("long.wav"));
    const qint64 frames = 1000000000;
    QVERIFY(WriteFile(wav, WavHeader(44100, 2, frames)));
    QVERIFY(QFile::resize(wav, 44 + 4 * frames));
    QVERIFY(
        WriteFile(file(QStringLiteral("wav2wma.prm")),
                  "[Parameters]\nOperation=CONVERTWAVTOWMA\nFileToWork=" + wav.toUtf8() + '\n'));
    QProcess process;
    process.start(file(QStringLiteral("wav2wma")), QStringList());
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY(Leftovers().filter(QStringLiteral("long.wma.")).size() == 1);

    process.terminate();
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 255);
    QCOMPARE(Leftovers(), QStringList{QStringLiteral("long.wav")});
}

QTEST_GUILESS_MAIN(TestWav2WmaTool)
#include "tst_wav2wma_tool.moc"
