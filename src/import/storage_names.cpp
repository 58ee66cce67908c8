#include "import/storage_names.h"

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

QString StorageFolderName(const QString &text)
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
        name = UnknownText();
    if (name.count(QLatin1Char('.')) == name.size())
        name.fill(QLatin1Char('_'));
    return CutToBytes(name, NameBytes);
}

QString FreeFileName(const QString &folder, const QString &name, const QSet<QString> &taken)
{
    const auto free = [&](const QString &candidate) {
        const QFileInfo file(folder + candidate);
        return !taken.contains(file.filePath()) && !file.exists() && !file.isSymLink();
    };
    if (free(name))
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n) + extension;
        const QString candidate = CutToBytes(stem, NameBytes - suffix.toUtf8().size()) + suffix;
        if (free(candidate))
            return candidate;
    }
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
