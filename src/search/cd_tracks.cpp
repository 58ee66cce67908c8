#include "search/cd_tracks.h"

#include "base/errors.h"
#include "base/ini_file.h"
#include "base/locations.h"
#include "common/tool_protocol.h"
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
        const QLatin1String section(ToolProtocol::ParametersSection);
        parameters.WriteString(section, QLatin1String(ToolProtocol::OperationKey),
                               QLatin1String(ToolProtocol::CdInfoOperation));
        parameters.WriteString(section, QLatin1String(ToolProtocol::DriveKey), drive);
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
    const int count = qMin(results
                               ->ReadString(QLatin1String(ToolProtocol::ResultsSection),
                                            QLatin1String(ToolProtocol::CountKey), QString())
                               .left(10)
                               .toInt(),
                           MaxDescriptions);
    const QString title =
        QLatin1String(ToolProtocol::TrackTitleKeyPrefix) + QString::number(number - 1);
    for (int i = 0; i < count; ++i) {
        const QString section =
            QLatin1String(ToolProtocol::DescriptionSectionPrefix) + QString::number(i);
        const auto value = [&](const QString &key) {
            return CutUnits(results->ReadString(section, key, QString()));
        };
        const QString artist = value(QLatin1String(ToolProtocol::ArtistKey));
        record->AddName(value(title));
        record->AddArtist(artist);
        record->AddComposer(artist);
        record->AddAlbum(value(QLatin1String(ToolProtocol::AlbumKey)));
    }
    return record;
}
