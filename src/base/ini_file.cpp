#include "base/ini_file.h"

#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/regular_file.h"

#include <QFile>

#include <sys/stat.h>
// Bytes in, bytes out: the text is UTF-8 on both sides.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

struct TIniFile::Data {
    Data() { ini.SetSpaces(false); } // "key=value", as other programs expect
    CSimpleIniA ini{false, false, false};
};

namespace {

// What a link, a folder or a planted giant holds is never read: it counts as no file at all.
bool IsExchangeFile(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode)
        && info.st_size <= ExchangeFileLimit;
}

} // namespace

TIniFile::TIniFile(const QString &path, TIniKind kind) : m_path(path), d(std::make_unique<Data>())
{
    if (kind == TIniKind::Settings ? !QFile::exists(path) : !IsExchangeFile(path))
        return;
    // A link put in the file's place after the look above is still not followed.
    Load(TRegularFile(path, kind == TIniKind::Settings ? TLinks::Follow : TLinks::NoFollow)
             .ReadAll());
}

TIniFile::TIniFile(const QString &path, const QByteArray &text)
    : m_path(path), d(std::make_unique<Data>())
{
    Load(text);
}

void TIniFile::Load(const QByteArray &bytes)
{
    if (d->ini.LoadData(bytes.constData(), size_t(bytes.size())) < 0)
        throw EQuavermill(QStringLiteral("Cannot read %1").arg(m_path));
}

TIniFile::~TIniFile() = default;

QString TIniFile::ReadString(const QString &section, const QString &key,
                             const QString &defaultValue) const
{
    const char *value = d->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData());
    if (!value)
        return defaultValue;
    return QString::fromUtf8(value).trimmed();
}

bool TIniFile::HasKey(const QString &section, const QString &key) const
{
    return d->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData()) != nullptr;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    d->ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(),
                    value.toUtf8().constData());
}

QByteArray TIniFile::Text() const
{
    std::string text;
    if (d->ini.Save(text, false) < 0)
        throw EQuavermill(QStringLiteral("Cannot write %1").arg(m_path));
    return QByteArray::fromStdString(text);
}

void TIniFile::Save() const
{
    // The program writes ini files only to hand parameters to its tools, which read them at
    // once: whole, but not synced to disk.
    TAtomicFile file(m_path, TLinks::NoFollow);
    file.Write(Text());
    file.Commit(TWriteSync::Transient);
}

void TIniFile::WriteKey(const QString &path, const QString &section, const QString &key,
                        const QString &value)
{
    TIniFile ini(path);
    ini.WriteString(section, key, value);
    ini.Save();
}
