// Renders every page of Quavermill into <folder>/<section>.png so the look can be checked by
// eye. The pages are shown one after another as the program would show them, in a world of
// their own (an empty data folder unless XDG_DATA_HOME is set, no volumes unless
// QUAVERMILL_VOLUMES is set).
//
//   QT_QPA_PLATFORM=offscreen build/tests/page_snapshots shots/

#include "app/create_pages.h"
#include "app/locations.h"
#include "pages/frame_window.h"
#include "pages/main_form.h"
#include "pages/page_form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(folder);
    QTemporaryDir world;
    if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME"))
        qputenv("XDG_DATA_HOME", world.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QUAVERMILL_VOLUMES")) {
        const QString volumes = world.filePath(QStringLiteral("volumes"));
        QFile(volumes).open(QIODevice::WriteOnly);
        qputenv("QUAVERMILL_VOLUMES", volumes.toUtf8());
    }

    TFrameWindow frame;
    CreatePages(&frame);
    SwitchPage(nullptr, FormMain);
    QTest::qWait(100);
    TFormBase *previous = FormMain;
    for (TFormBase *page : frame.findChildren<TFormBase *>(Qt::FindDirectChildrenOnly)) {
        SwitchPage(previous, page);
        previous = page;
        QTest::qWait(300);
        const QString path = QStringLiteral("%1/%2.png").arg(folder, page->Section());
        if (!frame.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s  %s\n", qPrintable(path), qPrintable(page->windowTitle()));
    }
    return 0;
}
