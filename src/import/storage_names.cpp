#include "import/storage_names.h"

#include "base/folder_listing.h"
#include "exchange/tool_files.h"
#include "search/track_data.h"

#include <QFileInfo>

namespace {

// NAME_MAX of the usual Linux file systems, in bytes.
constexpr qsizetype NameBytes = 255;

// The longest start of text whose UTF-8 fits in bytes, never ending inside a surrogate pair.
QString CutToBytes(const QString &text, qsizetype bytes)
{
    qsizetype units = 0;
    qsizetype used = 0;
    while (units < text.size()) {
        const bool pair = text.at(units).isHighSurrogate() && units + 1 < text.size()
            && text.at(units + 1).isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const qsizetype size = text.mid(units, length).toUtf8().size();
        if (used + size > bytes)
            break;
        used += size;
        units += length;
    }
    return text.left(units);
}

} // namespace

QString StorageFolderName(const QString &text, const QString &unknownText)
{
    QString name;
    name.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('/'))
            name.append(QLatin1Char('-'));
        else if (c.category() != QChar::Other_Control)
            name.append(c);
    }
    if (name.isEmpty())
        name = unknownText;
    if (name.count(QLatin1Char('.')) == name.size())
        name.fill(QLatin1Char('_'));
    return CutToBytes(name, NameBytes);
}

QString FoldedName(const QString &name)
{
    return name.normalized(QString::NormalizationForm_C).toCaseFolded();
}

TFolderNames::TFolderNames(const QString &folder)
{
    for (const TFolderEntry &entry : ListFolderEntries(folder).Entries) {
        const QString folded = FoldedName(entry.Name);
        m_names.insert(folded, entry.Name);
        if (entry.Kind == TEntryKind::File)
            m_files.insert(folded);
    }
}

QString TFolderNames::Find(const QString &name) const
{
    return m_names.value(FoldedName(name));
}

QString TFolderNames::FindFile(const QString &baseName, const char *extension) const
{
    const QString folded = FoldedName(baseName + QLatin1String(extension));
    return m_files.contains(folded) ? m_names.value(folded) : QString();
}

QString TFolderNames::FreeName(const QString &name, qsizetype units) const
{
    if (!m_names.contains(FoldedName(name)))
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n) + extension;
        const QString candidate =
            CutUnits(CutToBytes(stem, NameBytes - suffix.toUtf8().size()), units - suffix.size())
            + suffix;
        if (!m_names.contains(FoldedName(candidate)))
            return candidate;
    }
}

TStoredNames FitStoredNames(const QString &storage, const QString &artist, const QString &album,
                            const QString &file)
{
    constexpr qsizetype Room = 5; // " (99)"
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 ? file.mid(dot) : QString();
    TStoredNames names{artist, album, dot > 0 ? file.left(dot) : file};
    const qsizetype budget = FileNameUnits - storage.size() - 3 - extension.size() - Room;
    while (names.Artist.size() + names.Album.size() + names.File.size() > budget) {
        QString *longest = &names.Artist;
        for (QString *part : {&names.Album, &names.File}) {
            if (part->size() > longest->size())
                longest = part;
        }
        const QString cut = CutUnits(*longest, longest->size() - 1);
        if (cut.isEmpty())
            break;
        *longest = cut;
    }
    names.File += extension;
    return names;
}

bool StorageFolderFits(const QString &storage)
{
    // "/A/B/C (99).mp3": one character for each part and the longest extension a track has.
    return storage.size() + 15 <= FileNameUnits;
}

QString FileNamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString WithoutExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > path.lastIndexOf(QLatin1Char('/')) + 1 ? path.left(dot) : path;
}
