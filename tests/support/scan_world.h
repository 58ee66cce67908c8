#pragma once

// A world of volumes for the scan and folder chooser tests: a temporary folder holding the
// data folder, the program folder and the folders that a volume table names.

#include "app/main_page.h"
#include "base/locations.h"
#include "fake_tool.h"
#include "pages/frame_window.h"
#include "search/search_page.h"
#include "search/select_files_page.h"
#include "search/select_folder_page.h"
#include "test_services.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TScanWorld {
public:
    TScanWorld()
    {
        Root = m_dir.path() + QLatin1Char('/');
        QDir().mkpath(Root + QStringLiteral("program"));
        qputenv("XDG_DATA_HOME", (Root + QStringLiteral("data")).toUtf8());
        Services =
            TestServices(Root + QStringLiteral("program"), Root + QStringLiteral("volumes.txt"));
        SetVolumes({});
        UseSettings();
    }

    // The storage folder is disk/Library.
    void UseSettings(bool testMode = false)
    {
        TSettings settings;
        settings.StorageDir = Root + QStringLiteral("disk/Library");
        settings.WinMsgTestMode = testMode;
        Services.Settings = settings;
    }

    // One line per volume: "folder<TAB>kind<TAB>present", the folder relative to Root.
    void SetVolumes(const QStringList &lines) const
    {
        QFile file(Root + QStringLiteral("volumes.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(lines.join(QLatin1Char('\n')).toUtf8());
    }

    void Write(const QString &relative, const QByteArray &content = QByteArray()) const
    {
        const QString path = Root + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // Two MPEG frames, with an ID3v2.3 title when one is given.
    static QByteArray Mp3(const QString &title = QString())
    {
        QByteArray data;
        if (!title.isEmpty()) {
            // Encoding 1: UTF-16 with a byte order mark.
            QByteArray text("\x01\xff\xfe", 3);
            for (const QChar c : title) {
                text.append(char(c.unicode() & 0xff));
                text.append(char(c.unicode() >> 8));
            }
            QByteArray frame("TIT2");
            for (int shift : {24, 16, 8, 0})
                frame.append(char((text.size() >> shift) & 0xff));
            frame.append(2, '\0');
            frame.append(text);
            data = QByteArray("ID3\x03\x00\x00", 6);
            for (int shift : {21, 14, 7, 0})
                data.append(char((frame.size() >> shift) & 0x7f));
            data.append(frame);
        }
        for (int i = 0; i < 2; ++i) {
            data.append(QByteArray("\xff\xfb\x90\x64", 4));
            data.append(413, '\0');
        }
        return data;
    }

    // The real tag tool, copied so that it finds its exchange files in the test's program
    // folder.
    void InstallTagTool() const
    {
        const QString tool = Services.ProgramFolder + QStringLiteral("wma");
        QVERIFY(QFile::copy(QStringLiteral(QUAVERMILL_BIN_DIR "/wma"), tool));
        QVERIFY(QFile::setPermissions(tool, QFile::permissions(tool) | QFile::ExeOwner));
    }

    // A tag tool that answers nothing and runs longer than the program waits for a tool before
    // it lets events run, so that clicks and messages arrive while the walk is at a given file.
    void InstallSlowTagTool() const
    {
        QVERIFY(WriteFakeTool(Services.ProgramFolder + QStringLiteral("wma"),
                              QStringLiteral("sleep 0.02")));
    }

    // The frame with the pages a search goes through, showing the main menu.
    TFrameWindow *CreatePages(bool testMode = false)
    {
        auto *frame = new TFrameWindow(Services);
        new TFormMain(frame);
        new TFormSearch(frame);
        new TFormSelectFolder(frame);
        new TFormSelectFiles(frame);
        UseSettings(testMode);
        SwitchPage(nullptr, Page<TFormMain>());
        return frame;
    }

    // Rows of names in the order they are made and in the order a person reads them, which
    // both search trees follow.
    static void AddReadingOrderRows()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("letter case") << QStringList{QStringLiteral("Zeta"), QStringLiteral("beta"),
                                                    QStringLiteral("B"), QStringLiteral("a")}
                                     << QStringList{QStringLiteral("a"), QStringLiteral("B"),
                                                    QStringLiteral("beta"), QStringLiteral("Zeta")};
        QTest::newRow("accents beside their letters")
            << QStringList{QStringLiteral("Zebra"), QStringLiteral("Ezra"), QStringLiteral("Élan"),
                           QStringLiteral("Eclair")}
            << QStringList{QStringLiteral("Eclair"), QStringLiteral("Élan"), QStringLiteral("Ezra"),
                           QStringLiteral("Zebra")};
        QTest::newRow("numbers") << QStringList{QStringLiteral("Track 10"),
                                                QStringLiteral("Track 2"),
                                                QStringLiteral("Track 1")}
                                 << QStringList{QStringLiteral("Track 1"),
                                                QStringLiteral("Track 2"),
                                                QStringLiteral("Track 10")};
        // Texts alike but for case keep one order, whatever order the folder lists them in.
        QTest::newRow("alike but for case")
            << QStringList{QStringLiteral("a"), QStringLiteral("A")}
            << QStringList{QStringLiteral("A"), QStringLiteral("a")};
    }

    QString Root;       // ends in "/"
    TServices Services; // outlives the pages of every frame the world makes

private:
    QTemporaryDir m_dir;
};
