// Time from process start to the main menu shown, beside the time a bare Qt program takes to
// show an empty window. Both run offscreen as real processes, several times each.
//
//   build/bench/startup_bench [runs]

#include "app/create_pages.h"
#include "app/main_page.h"
#include "app/make_services.h"
#include "catalog/catalog.h"
#include "pages/frame_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Prints "shown" once the widget has been painted, then ends the process.
class TShownProbe : public QObject {
public:
    explicit TShownProbe(QWidget *widget) { widget->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            std::puts("shown");
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }
};

int ShowQuavermill(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TServices services = MakeServices();
    TCatalog catalog;
    TFrameWindow frame(services);
    CreatePages(&frame, catalog);
    TShownProbe probe(Page<TFormMain>());
    return QApplication::exec();
}

int ShowBareWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(639, 381);
    TShownProbe probe(&window);
    window.show();
    return QApplication::exec();
}

double MedianMilliseconds(const QString &mode, int runs, const QString &home)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home);
        env.insert(QStringLiteral("TMPDIR"), home);
        process.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        process.start(QCoreApplication::applicationFilePath(), {mode});
        if (!process.waitForReadyRead(30000))
            return -1;
        times.append(double(clock.nsecsElapsed()) / 1e6);
        process.waitForFinished();
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--quavermill") == 0)
        return ShowQuavermill(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--bare") == 0)
        return ShowBareWindow(argc, argv);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 10;
    QTemporaryDir home;
    const double bare = MedianMilliseconds(QStringLiteral("--bare"), runs, home.path());
    const double quavermill = MedianMilliseconds(QStringLiteral("--quavermill"), runs, home.path());
    std::printf("start to window shown, median of %d runs (offscreen)\n", runs);
    std::printf("  bare Qt window:        %7.1f ms\n", bare);
    std::printf("  Quavermill main menu:  %7.1f ms\n", quavermill);
    return 0;
}
