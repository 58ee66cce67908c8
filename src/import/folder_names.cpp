#include "import/folder_names.h"

#include "platform/volumes.h"

QString SentenceCase(const QString &text)
{
    if (text.isEmpty())
        return text;
    const bool pair =
        text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate();
    const char32_t first =
        pair ? QChar::surrogateToUcs4(text.at(0), text.at(1)) : text.at(0).unicode();
    // Title case is upper case for every letter that has no digraph form of its own (Dž).
    const char32_t head = QChar::toTitleCase(first);
    return QString::fromUcs4(&head, 1) + text.mid(pair ? 2 : 1).toLower();
}

static bool EndsWord(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('.');
}

QString TitleCase(const QString &text)
{
    QString result;
    result.reserve(text.size());
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && !EndsWord(text.at(end)))
            ++end;
        result += SentenceCase(text.mid(start, end - start));
        if (end < text.size())
            result += text.at(end);
        start = end + 1;
    }
    return result;
}

QStringList FolderNameCandidates(const QString &folder, const TVolumeList &volumes)
{
    const QStringList names =
        volumes.PathAfterRoot(folder).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList candidates;
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        if (candidates.contains(*name, Qt::CaseInsensitive))
            continue;
        const QString sentence = SentenceCase(*name);
        // A name without letters ("2005") has three equal forms: it is offered once.
        for (const QString &form : {TitleCase(sentence), sentence.toLower(), sentence.toUpper()}) {
            if (!candidates.contains(form))
                candidates.append(form);
        }
    }
    return candidates;
}
