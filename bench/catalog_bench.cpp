// Catalog file benchmark. From the repository (records defaults to 100000):
//   cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build build --target catalog_bench && build/bench/catalog_bench [records]
//
// Builds a catalog file of N records (default 100,000) with realistic field lengths, mixed
// case and some duplicate keys, then times OpenCatalog, MergePending of 1,000 records,
// SaveCatalog and Purge of 1% beside a raw read and write of the same bytes, and prints the
// peak memory of the process (VmHWM) against the file size.

#include "catalog/catalog_file.h"

#include "peak_memory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <unistd.h>

namespace {

constexpr int Rounds = 3;

QString Words(QRandomGenerator &random, int minLength, int maxLength)
{
    static const char *const words[] = {
        "love", "Night", "river", "BLUE", "song",   "the",    "of", "Moon",  "dance", "Heart",
        "road", "fire",  "Rain",  "city", "golden", "Sonata", "in", "minor", "Live",  "Élan"};
    const int length = minLength + int(random.bounded(maxLength - minLength + 1));
    QString text;
    while (text.size() < length) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QString::fromUtf8(words[random.bounded(int(std::size(words)))]);
    }
    return text.left(length).trimmed();
}

// The index-th of a pool of names, always spelled the same way apart from its case.
QString PoolName(const char *prefix, int index, QRandomGenerator &random)
{
    QString name = QString::fromLatin1(prefix) + QString::number(index) + QLatin1Char(' ');
    QRandomGenerator seeded(quint32(index) * 7919u + quint32(qHash(QByteArray(prefix))));
    name += Words(seeded, 8, 24);
    if (random.bounded(10) == 0)
        name = name.toUpper();
    return name;
}

QString RandomRecord(QRandomGenerator &random)
{
    const int artist = int(random.bounded(3000));
    const int album = artist * 8 + int(random.bounded(8));
    const QString artistName = PoolName("Artist ", artist, random);
    const QString albumName = PoolName("Album ", album, random);
    const QString name = Words(random, 6, 40);
    const QString fileName = QStringLiteral("/home/user/Music/") + artistName + QLatin1Char('/')
        + albumName + QLatin1Char('/') + QString::number(random.bounded(1, 20))
        + QStringLiteral(" - ") + name + QStringLiteral(".mp3");
    return BuildRecord(QStringLiteral("DAT"),
                       PoolName("Composer ", int(random.bounded(400)), random), artistName,
                       albumName, QStringLiteral("0"), fileName, name,
                       QString::number(random.bounded(2000000, 12000000)));
}

qint64 WriteCatalog(const QString &path, int count, QRandomGenerator &random)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(HeaderRecord().toUtf8() + "\r\n");
    QByteArray previous;
    for (int i = 0; i < count; ++i) {
        // About 1% repeat an earlier key with another title: the first one stays on load.
        QByteArray line = previous.isEmpty() || random.bounded(100) != 0
            ? RandomRecord(random).toUtf8()
            : previous.left(575) + "Another title" + previous.mid(588);
        file.write(line + "\r\n");
        previous = line;
    }
    return file.size();
}

// Median of Rounds runs, in milliseconds.
double Time(const std::function<void()> &prepare, const std::function<void()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < Rounds; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[Rounds / 2];
}

void Row(const char *what, double ms, const char *rawWhat, double rawMs, const char *target)
{
    std::printf("%-22s %9.1f ms   %-10s %7.1f ms   target %s\n", what, ms, rawWhat, rawMs, target);
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mp3_library.dat"));
    QRandomGenerator random(12345);
    const qint64 fileBytes = WriteCatalog(path, count, random);
    const long startKiB = PeakMemoryKiB();

    std::unique_ptr<TBaseStringList> catalog;
    const double open = Time([&] { catalog.reset(); }, [&] { catalog = OpenCatalog(path); });

    std::vector<QStringList> batches(Rounds);
    for (QStringList &batch : batches) {
        for (int i = 0; i < 1000; ++i) // some replace held records, most are new
            batch.append(i % 10 == 0 ? catalog->Line(int(random.bounded(catalog->Count())))
                                     : RandomRecord(random));
    }
    int round = 0;
    const double merge = Time([] {}, [&] { MergePending(*catalog, batches[size_t(round++)]); });

    const QString savePath = dir.filePath(QStringLiteral("saved.dat"));
    const double save = Time([] {}, [&] { SaveCatalog(*catalog, savePath); });

    const double purge = Time(
        [&] {
            for (int i = catalog->Count() / 100; i > 0; --i)
                catalog->SetMark(int(random.bounded(catalog->Count())), 1);
        },
        [&] { Purge(*catalog); });
    const long peakKiB = PeakMemoryKiB();
    const int records = catalog->Count();
    catalog.reset();

    // The same bytes read and written without any parsing, for comparison.
    QByteArray bytes;
    const double rawRead = Time([&] { bytes.clear(); },
                                [&] {
                                    QFile file(path);
                                    file.open(QIODevice::ReadOnly);
                                    bytes = file.readAll();
                                });
    const QString rawPath = dir.filePath(QStringLiteral("raw.dat"));
    const double rawWrite = Time([] {},
                                 [&] {
                                     QFile file(rawPath);
                                     file.open(QIODevice::WriteOnly);
                                     file.write(bytes);
                                     file.flush();
                                     file.handle() >= 0 ? void(fdatasync(file.handle())) : void();
                                 });

    std::printf("catalog of %d records, %.1f MB (%d records after the runs)\n", count,
                double(fileBytes) / 1e6, records);
    std::printf("median of %d runs\n", Rounds);
    Row("OpenCatalog", open, "raw read", rawRead, "0.5 s");
    Row("MergePending 1,000", merge, "raw read", rawRead, "50 ms");
    Row("SaveCatalog", save, "raw write", rawWrite, "0.3 s");
    Row("Purge 1%", purge, "raw write", rawWrite, "-");
    std::printf("peak memory (VmHWM)    %9.1f MB   %.2f x file size (before opening: %.1f MB), "
                "target 3 x\n",
                double(peakKiB) / 1024.0, double(peakKiB) * 1024.0 / double(fileBytes),
                double(startKiB) / 1024.0);
    return 0;
}
