#include "search/cd_tracks.h"

#include "base/errors.h"
#include "base/ini_file.h"
#include "base/locations.h"
#include "exchange/run_tool.h"
#include "exchange/tool_files.h"
#include "search/track_data.h"

#include <QFile>

namespace {

const QString Tool = QStringLiteral("cddb");
// A count beyond any real answer must not keep the scan reading missing sections for ever.
constexpr int MaxDescriptions = 1000;

} // namespace

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

std::unique_ptr<TIniFile> RequestCdInfo(const QString &programFolder, const QString &drive)
{
    const QString exchange = ExchangeFolder(programFolder);
    const QString results = exchange + Tool + QStringLiteral(".rslt");
    QFile::remove(results);
    if (!ToolExists(programFolder, Tool))
        return nullptr;
    const QString prm = exchange + Tool + QStringLiteral(".prm");
    try {
        TIniFile parameters(prm, TIniKind::Exchange);
        parameters.WriteString(QStringLiteral("Parameters"), QStringLiteral("Operation"),
                               QStringLiteral("GETCDINFO"));
        parameters.WriteString(QStringLiteral("Parameters"), QStringLiteral("Drive"), drive);
        parameters.Save();
    } catch (const EQuavermill &) {
        return nullptr; // the tool would read no drive, or another one
    }
    if (RunTool(programFolder + Tool, exchange) >= 0)
        QFile::remove(prm);
    std::unique_ptr<TIniFile> answer;
    try {
        answer = std::make_unique<TIniFile>(results, TIniKind::Exchange);
    } catch (const EQuavermill &) {
        // An unreadable result file describes nothing.
    }
    QFile::remove(results);
    return answer;
}

std::unique_ptr<TSelectFilesData> CdTrackRecord(const TIniFile *results, const QString &path)
{
    auto record = std::make_unique<TSelectFilesData>();
    const int number = CdTrackNumber(path);
    if (number == 0 || !results)
        return record;
    const int count =
        qMin(results->ReadString(QStringLiteral("Results"), QStringLiteral("Count"), QString())
                 .left(10)
                 .toInt(),
             MaxDescriptions);
    const QString title = QStringLiteral("TTITLE%1").arg(number - 1);
    for (int i = 0; i < count; ++i) {
        const QString section = QStringLiteral("Description%1").arg(i);
        const auto value = [&](const QString &key) {
            return CutUnits(results->ReadString(section, key, QString()));
        };
        const QString artist = value(QStringLiteral("Artist"));
        record->AddName(value(title));
        record->AddArtist(artist);
        record->AddComposer(artist);
        record->AddAlbum(value(QStringLiteral("Album")));
    }
    return record;
}
