#include "search/cd_tracks.h"

int CdTrackNumber(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 2)
        return 0;
    const QChar tens = path.at(dot - 2);
    const QChar ones = path.at(dot - 1);
    if (!tens.isDigit() || !ones.isDigit() || tens.unicode() > '9' || ones.unicode() > '9')
        return 0;
    return tens.digitValue() * 10 + ones.digitValue();
}
