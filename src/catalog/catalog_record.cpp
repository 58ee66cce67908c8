#include "catalog/catalog_record.h"

#include <QStringDecoder>

#include <algorithm>
#include <utility>

namespace {

// ParseRecord reads the last field a character further than BuildRecord writes it.
constexpr int ParsedFileSizeWidth = 11;
constexpr qsizetype FileSizeDigitsKept = 10;

int ParsedWidth(int field)
{
    return field == FieldFileSize ? ParsedFileSizeWidth : RecordFieldPlaces[field].width;
}

// Start and length of field number field of a line of size units, without the trailing "_"
// and spaces. Char is char16_t for texts and char for lines of ASCII bytes.
template <typename Char>
std::pair<qsizetype, qsizetype> FieldSpan(const Char *line, qsizetype size, int field)
{
    const qsizetype start = RecordFieldPlaces[field].start;
    if (start >= size)
        return {start, 0};
    qsizetype end = std::min<qsizetype>(start + ParsedWidth(field), size);
    while (end > start && (line[end - 1] == Char('_') || line[end - 1] == Char(' ')))
        --end;
    return {start, end - start};
}

QStringView FieldView(QStringView line, int field)
{
    const auto [start, length] = FieldSpan(line.utf16(), line.size(), field);
    return line.sliced(std::min(start, line.size()), length);
}

char *PutUtf8(char *out, char32_t c)
{
    if (c == 0) { // kept apart from the field separator, which is a zero byte
        *out++ = char(0xC0);
        *out++ = char(0x80);
    } else if (c < 0x80) {
        *out++ = char(c);
    } else if (c < 0x800) {
        *out++ = char(0xC0 | (c >> 6));
        *out++ = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    } else {
        *out++ = char(0xF0 | (c >> 18));
        *out++ = char(0x80 | ((c >> 12) & 0x3F));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
        *out++ = char(0x80 | (c & 0x3F));
    }
    return out;
}

// Writes the case-folded text as UTF-8, whose byte order is the order of code points. The
// output needs room for 4 bytes per unit.
template <typename Char>
char *PutFolded(char *out, const Char *text, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = char16_t(text[i]);
        if (u < 0x80 && u != 0) {
            *out++ = char(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
            continue;
        }
        char32_t c = u;
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(char16_t(text[i + 1])))
            c = QChar::surrogateToUcs4(u, char16_t(text[++i]));
        out = PutUtf8(out, QChar::toCaseFolded(c));
    }
    return out;
}

// The key of one value: letters with accents sort beside their plain letters ("Élan" before
// "Ezra"), as a user's language orders them, and of two values that differ only in accents the
// plain one comes first. Values equal but for case still get equal keys. A plain ASCII value
// is its folded text alone. The output needs room for 16 bytes per unit.
template <typename Char>
char *PutValueKey(char *out, const Char *text, qsizetype n)
{
    if (std::all_of(text, text + n, [](Char c) { return char16_t(c) < 0x80; }))
        return PutFolded(out, text, n);
    QString value(n, Qt::Uninitialized);
    std::transform(text, text + n, value.begin(), [](Char c) { return QChar(char16_t(c)); });
    const QString folded = value.toCaseFolded();
    QString plain = folded.normalized(QString::NormalizationForm_D);
    plain.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    out = PutFolded(out, plain.utf16(), plain.size());
    if (plain != folded) {
        *out++ = '\x01';
        out = PutFolded(out, folded.utf16(), folded.size());
    }
    return out;
}

template <typename Char>
QByteArray MakeRecordKey(const Char *line, qsizetype size)
{
    // Keys are built in one scratch buffer and copied at their exact size, since a catalog
    // holds one per record.
    thread_local QByteArray scratch;
    const qsizetype room =
        16 * std::min<qsizetype>(size, RecordFieldPlaces[FieldName].start) + RecordFieldCount;
    if (scratch.size() < room)
        scratch.resize(room);
    char *out = scratch.data();
    for (int field = FieldKind; field <= FieldFileName; ++field) {
        const auto [start, length] = FieldSpan(line, size, field);
        out = PutValueKey(out, line + start, length);
        *out++ = '\0';
    }
    return QByteArray(scratch.constData(), out - scratch.constData());
}

bool IsAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

bool IsDecimal(QStringView text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A number of 10 digits fits the whole FileSize field; a larger one is capped there rather
// than cut, which would give a far smaller number.
QStringView FileSizeValue(QStringView value, qsizetype &kept)
{
    kept = RecordFieldPlaces[FieldFileSize].width - 1;
    if (value.size() <= kept || !IsDecimal(value))
        return value;
    while (value.size() > 1 && value.front() == u'0')
        value = value.sliced(1);
    if (value.size() > FileSizeDigitsKept)
        value = u"9999999999";
    kept = FileSizeDigitsKept;
    return value;
}

} // namespace

const QString &TCatalogRecord::Field(int index) const
{
    return const_cast<TCatalogRecord *>(this)->Field(index);
}

QString &TCatalogRecord::Field(int index)
{
    switch (index) {
    case FieldKind: return Kind;
    case FieldComposer: return Composer;
    case FieldArtist: return Artist;
    case FieldAlbum: return Album;
    case FieldTrackNum: return TrackNum;
    case FieldFileName: return FileName;
    case FieldName: return Name;
    default: return FileSize;
    }
}

bool TCatalogRecord::IsTrack() const
{
    return Kind.compare(QLatin1String(TrackKind), Qt::CaseInsensitive) == 0;
}

QString BuildRecord(const TCatalogRecord &record)
{
    QString line(RecordLength, u'_');
    QChar *out = line.data();
    for (int field = 0; field < RecordFieldCount; ++field) {
        qsizetype kept = RecordFieldPlaces[field].width - 1;
        QStringView value = record.Field(field);
        if (field == FieldFileSize)
            value = FileSizeValue(value, kept);
        qsizetype n = std::min(value.size(), kept);
        if (n > 0 && n < value.size() && value[n - 1].isHighSurrogate())
            --n;
        QChar *place = out + RecordFieldPlaces[field].start;
        for (qsizetype i = 0; i < n; ++i) {
            const QChar c = value[i];
            place[i] = (c == u'\r' || c == u'\n' || c == u'\0') ? QChar(u' ') : c;
        }
    }
    return line;
}

QString BuildRecord(const QString &kind, const QString &composer, const QString &artist,
                    const QString &album, const QString &trackNum, const QString &fileName,
                    const QString &name, const QString &fileSize)
{
    return BuildRecord(
        TCatalogRecord{kind, composer, artist, album, trackNum, fileName, name, fileSize});
}

TCatalogRecord ParseRecord(QStringView line)
{
    TCatalogRecord record;
    for (int field = 0; field < RecordFieldCount; ++field)
        record.Field(field) = FieldView(line, field).toString();
    return record;
}

QString HeaderRecord()
{
    return BuildRecord(QLatin1String(HeaderKind), QStringLiteral("Composer"),
                       QStringLiteral("Artist"), QStringLiteral("Album"),
                       QStringLiteral("TrackNum"), QStringLiteral("FileName"),
                       QStringLiteral("Name"), QStringLiteral("FileSize"));
}

QByteArray RecordKey(QStringView line)
{
    return MakeRecordKey(line.utf16(), line.size());
}

QByteArray RecordKeyUtf8(QByteArrayView utf8Line)
{
    // In an ASCII line bytes and characters stand at the same places.
    if (IsAscii(utf8Line))
        return MakeRecordKey(utf8Line.data(), utf8Line.size());
    return RecordKey(LineFromUtf8(utf8Line));
}

QString LineFromUtf8(QByteArrayView utf8Line)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless
                               | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8Line);
}

QByteArray CaseInsensitiveKey(QStringView text)
{
    QByteArray key(16 * text.size(), Qt::Uninitialized);
    key.truncate(PutValueKey(key.data(), text.utf16(), text.size()) - key.constData());
    return key;
}

int CompareStrings(QStringView a, QStringView b)
{
    const QByteArray keyA = RecordKey(a);
    const QByteArray keyB = RecordKey(b);
    return keyA < keyB ? -1 : (keyB < keyA ? 1 : 0);
}
