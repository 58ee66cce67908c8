#include "import/copy_files_page.h"

#include "catalog/catalog.h"
#include "import/storage_names.h"

#include "base/application.h"
#include "base/ini_file.h"
#include "pages/services.h"
#include "pages/skin.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

TFormCopyFiles::TFormCopyFiles(QWidget *parent)
    : TFormBase(Id, QStringLiteral("CopyFiles"), QStringLiteral("Tracks Copying"), parent)
{
    // The hint tells what the run does: its texts are "CopyHint" and "RollbackHint".
    m_labelHint = CreateHintLabel(QRect(8, 8, 159, 365), m_texts.CopyHint, Qt::white, QString());
    CreateButtonGroup(TopBase,
                      {
                          {"ReturnToMain", "Return to main menu", "return_main",
                           [this](TFormBase *) { Ask(rqMainMenu); }},
                          {"ReturnToSelection", "Return to tracks selection", "return_back",
                           [this](TFormBase *) { Ask(rqTrackSelection); }},
                          {"Exit", "Exit", "exit", [this](TFormBase *) { Ask(rqExit); }},
                      },
                      1);
    const auto line = [this](const char *name, const QRect &place) {
        QLabel *label = CreateLabel(QLatin1String(name), place, QString(), QString(), 16);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    };
    m_labelProgress = line("LabelProgress", QRect(192, 136, 385, 41));
    m_progressBar1 = new QProgressBar(this);
    m_progressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar1->setGeometry(192, 184, 388, 26);
    m_progressBar1->setTextVisible(false);
    m_labelCopied = line("Label1", QRect(192, 216, 385, 20));
    m_labelStep = line("Label2", QRect(192, 244, 385, 41));
    // This page's button labels keep their own spacing, 40 pixels instead of the groups' 42.
    findChild<QLabel *>(QStringLiteral("LabelReturnToSelection"))->move(192, 60);
    findChild<QLabel *>(QStringLiteral("LabelExit"))->move(192, 100);
    ApplySkinAndTexts();
    m_progressBar1->setAccessibleName(m_texts.CopyingProgress);
}

void TFormCopyFiles::ReadTexts(const TSkinFile &texts)
{
    const auto read = [&](const char *key, QString &text) {
        text = ReadText(texts, Section(), QLatin1String(key), text);
    };
    read("CopyingProgress", m_texts.CopyingProgress);
    read("CopyHint", m_texts.CopyHint);
    read("RollbackProgress", m_texts.RollbackProgress);
    read("RollbackHint", m_texts.RollbackHint);
    read("Copied", m_texts.Copied);
    read("Deleted", m_texts.Deleted);
    read("From", m_texts.From);
    read("Reason", m_texts.Reason);
    read("Extracted", m_texts.Extracted);
    read("SecondsOf", m_texts.SecondsOf);
    read("Minutes", m_texts.Minutes);
    read("Conversion", m_texts.Conversion);
    read("Skipped", m_texts.Skipped);
    read("StorageTooLong", m_texts.StorageTooLong);
    read("RecordsWaiting", m_texts.RecordsWaiting);
    read("TimeLeft", m_texts.TimeLeft);
    read("Seconds", m_texts.Seconds);
}

void TFormCopyFiles::FormShow()
{
    Request = rqNone;
    Busy = false;
    m_labelHint->setText(m_texts.CopyHint);
    m_labelProgress->setText(m_texts.CopyingProgress + QStringLiteral("..."));
    m_labelCopied->clear();
    m_trackName.clear();
    m_labelStep->clear();
    m_progressBar1->setRange(0, 100);
    m_progressBar1->setValue(0);
    PostPageMessage(this, MSG_START_COPY);
}

void TFormCopyFiles::PageMessage(int message)
{
    if (message == MSG_START_COPY)
        CopyRun();
}

bool TFormCopyFiles::FormCloseQuery()
{
    if (!Busy)
        return true;
    Request = rqExit;
    return false;
}

bool TFormCopyFiles::FormKeyPress(int key)
{
    return (key == Qt::Key_Escape && Busy) || TFormBase::FormKeyPress(key);
}

void TFormCopyFiles::Ask(TCopyRequest request)
{
    if (Busy)
        Request = request;
    else
        Go(request);
}

void TFormCopyFiles::Go(TCopyRequest request)
{
    switch (request) {
    case rqMainMenu: SwitchPage(this, TPageId::Main); break;
    case rqTrackSelection: SwitchPage(this, TPageId::SelectFiles); break;
    case rqExit: EndApplication(); break;
    case rqNone: SwitchPage(this, TPageId::ViewCatalog); break;
    }
}

void TFormCopyFiles::CopyRun()
{
    Request = rqNone;
    QCoreApplication::processEvents();
    if (ApplicationEnding())
        return;
    bool completed = false;
    QString journal;
    if (Catalog) {
        Busy = true;
        const TSettings &settings = Services().Settings;
        TCopyRun run(Catalog->PendingRecords,
                     {settings.StorageDir, settings.Overwrite, settings.ConvertToWMA,
                      Services().Volumes, Services().UnknownText, Services().ProgramFolder},
                     *this);
        try {
            if (!StorageFolderFits(settings.StorageDir))
                throw ERollingBack(m_texts.StorageTooLong);
            run.CopyAll();
            run.Complete();
            completed = true;
            journal = run.JournalPath();
            if (run.Skipped() > 0)
                ShowSkipped(run.Skipped(), int(Catalog->PendingRecords.size()) + run.Skipped(),
                            run.SkipReason());
        } catch (const ERollingBack &stop) {
            RollBack(run, stop.message());
        } catch (...) {
            // An unforeseen failure: nothing of the run stays, and the page stays where it is
            // with its buttons acting at once.
            RollBack(run, QString());
            Request = rqNone;
            Busy = false;
            Catalog = nullptr;
            throw;
        }
    }
    TCatalog *catalog = std::exchange(Catalog, nullptr);
    const TCopyRequest request = Request;
    Request = rqNone;
    Busy = false;
    // Left for another page (a button during the pause above) or ending, a completed run's
    // tracks reach the catalog now: nothing else would add them.
    QString failure;
    if (catalog && completed)
        failure = HandOverRecords(*catalog, journal, request != rqNone || ApplicationEnding());
    if (!ApplicationEnding())
        Go(request);
    if (!failure.isEmpty())
        throw EQuavermill(failure);
}

QString TFormCopyFiles::HandOverRecords(TCatalog &catalog, const QString &journal, bool save)
{
    if (catalog.PendingRecords.isEmpty()) {
        if (!journal.isEmpty())
            QFile::remove(journal);
        return QString();
    }
    if (!journal.isEmpty())
        catalog.WhenSaved([journal] { QFile::remove(journal); });
    if (!save)
        return QString();
    try {
        catalog.SavePending();
    } catch (const EQuavermill &error) {
        // An ending program says nothing more; the next start adds the records.
        if (!ApplicationEnding())
            return error.message() + QLatin1Char('\n') + m_texts.RecordsWaiting;
    }
    return QString();
}

void TFormCopyFiles::RollBack(TCopyRun &run, const QString &reason)
{
    m_labelHint->setText(m_texts.RollbackHint);
    QString progress = m_texts.RollbackProgress + QStringLiteral("... ");
    if (!reason.isEmpty())
        progress += m_texts.Reason + QStringLiteral(": ") + LastLine(reason);
    m_labelProgress->setText(progress);
    m_labelStep->clear();
    // The reason stays readable for a while; clicks wait, the window still paints.
    Pause(3000, false);
    run.RollBack();
}

void TFormCopyFiles::ShowSkipped(int skipped, int count, const QString &reason)
{
    m_labelProgress->setText(Counted(m_texts.Skipped, skipped, count));
    m_labelStep->setText(m_texts.Reason + QStringLiteral(": ") + LastLine(reason));
    Pause(3000, true);
}

// "Copied 3 tracks from 12", with the word given.
QString TFormCopyFiles::Counted(const QString &word, int done, int count) const
{
    return word + QLatin1Char(' ') + QString::number(done) + QLatin1Char(' ') + m_texts.From
        + QLatin1Char(' ') + QString::number(count);
}

void TFormCopyFiles::Pause(int ms, bool input)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QObject::connect(ApplicationEndingNotifier(), &TApplicationEndingNotifier::Ending, &loop,
                     &QEventLoop::quit);
    loop.exec(input ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void TFormCopyFiles::ShowCopied(int position, int stored, int count)
{
    m_progressBar1->setRange(0, count);
    m_progressBar1->setValue(position);
    m_labelCopied->setText(Counted(m_texts.Copied, stored, count));
}

void TFormCopyFiles::ShowTrack(const QString &source, int position, qint64 bytesDone,
                               qint64 bytesTotal)
{
    if (position == 1)
        m_runClock.start();
    m_trackName = m_labelStep->fontMetrics().elidedText(FileNamePart(source), Qt::ElideMiddle,
                                                        m_labelStep->width());
    ShowStep(QString());
    QString progress = m_texts.CopyingProgress + QStringLiteral("...");
    const qint64 left = SecondsLeft(position, m_runClock.elapsed(), bytesDone, bytesTotal);
    if (left >= 0) {
        // Rounded up: whole minutes, or tens of seconds in the last minute.
        const bool minutes = left >= 60;
        const qint64 amount = minutes ? (left + 59) / 60 : qMax<qint64>(10, (left + 9) / 10 * 10);
        progress += QLatin1Char(' ') + m_texts.TimeLeft + QLatin1Char(' ') + QString::number(amount)
            + QLatin1Char(' ') + (minutes ? m_texts.Minutes : m_texts.Seconds);
    }
    m_labelProgress->setText(progress);
}

void TFormCopyFiles::ShowStep(const QString &step)
{
    m_labelStep->setText(step.isEmpty() ? m_trackName : m_trackName + QLatin1Char('\n') + step);
}

void TFormCopyFiles::ShowConverting(bool converting)
{
    ShowStep(converting ? m_texts.Conversion : QString());
}

bool TFormCopyFiles::ShowExtracted(int seconds, int track)
{
    ShowStep(m_texts.Extracted + QLatin1Char(' ') + QString::number(seconds / 60) + QLatin1Char(' ')
             + m_texts.Minutes + QLatin1Char(' ') + QString::number(seconds % 60) + QLatin1Char(' ')
             + m_texts.SecondsOf + QLatin1Char(' ') + QString::number(track));
    return PumpAndAskStop();
}

bool TFormCopyFiles::PumpAndAskStop()
{
    QCoreApplication::processEvents();
    return ApplicationEnding() || Request != rqNone;
}

void TFormCopyFiles::ShowDeleted(int done, int count)
{
    // The bar fills as the run is undone, to its end with the last thing.
    m_progressBar1->setRange(0, count);
    m_progressBar1->setValue(done);
    m_labelCopied->setText(Counted(m_texts.Deleted, done, count));
    QCoreApplication::processEvents();
}

QString LastLine(const QString &text)
{
    const qsizetype cut =
        std::max(text.lastIndexOf(QLatin1Char('\n')), text.lastIndexOf(QLatin1Char('\r')));
    return text.mid(cut + 1);
}

qint64 SecondsLeft(int position, qint64 elapsedMs, qint64 bytesDone, qint64 bytesTotal)
{
    // The first tracks wait for the disks to wake and the tag tool to start: too soon to tell,
    // unless they are big enough to make up a good part of the run.
    constexpr int FirstTracks = 3;
    if (bytesDone <= 0 || bytesDone > bytesTotal
        || (position <= FirstTracks && bytesDone < bytesTotal / 10))
        return -1;
    return qint64(double(elapsedMs) * double(bytesTotal - bytesDone) / double(bytesDone) / 1000);
}
