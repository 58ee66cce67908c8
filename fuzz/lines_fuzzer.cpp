// Catalog and playlist files: whatever bytes they hold, the reader gives the same lines
// whether the file comes whole or in pieces, the catalog holds them sorted and unique (each
// line finding itself), merging its own lines changes nothing, and a playlist's lines are
// sorted and unique without regard to case.

#include "catalog/base_string_list.h"
#include "catalog/catalog_file.h"
#include "catalog/catalog_record.h"
#include "fuzz_support.h"
#include "playlists/playlist_file.h"

#include <QByteArray>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    std::vector<QByteArray> whole = SplitLinesUtf8(content);

    // Pieces of one to seven bytes, as the bytes themselves choose.
    std::vector<QByteArray> pieces;
    TLineSplitter splitter(pieces);
    for (qsizetype at = 0; at < content.size();) {
        const qsizetype length = qMin<qsizetype>(1 + uchar(content[at]) % 7, content.size() - at);
        splitter.Feed(content.constData() + at, length);
        at += length;
    }
    splitter.Finish();
    FUZZ_CHECK(pieces == whole);

    TBaseStringList catalog;
    catalog.Assign(std::move(whole));
    const QStringList lines = catalog.Lines();
    for (int i = 0; i < catalog.Count(); ++i) {
        FUZZ_CHECK(i == 0 || CompareStrings(lines[i - 1], lines[i]) < 0);
        FUZZ_CHECK(catalog.IndexOf(lines[i]) == i);
    }
    catalog.Merge(lines);
    FUZZ_CHECK(catalog.Lines() == lines);

    QStringList texts;
    for (const QByteArray &line : pieces)
        texts.append(LineFromUtf8(line));
    const QStringList playlist = SortedUniqueIgnoringCase(texts);
    for (qsizetype i = 1; i < playlist.size(); ++i)
        FUZZ_CHECK(CaseInsensitiveKey(playlist[i - 1]) < CaseInsensitiveKey(playlist[i]));
    FUZZ_CHECK(SortedUniqueIgnoringCase(playlist) == playlist);
    return 0;
}
