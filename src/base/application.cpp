#include "base/application.h"

#include "base/locations.h"

#include <QCoreApplication>

static bool g_ending = false;

QString Title()
{
    return QLatin1String(ProductName) + QLatin1String(" v." QUAVERMILL_VERSION);
}

bool ApplicationEnding()
{
    return g_ending;
}

TApplicationEndingNotifier *ApplicationEndingNotifier()
{
    static TApplicationEndingNotifier notifier;
    return &notifier;
}

void EndApplication()
{
    g_ending = true;
    Q_EMIT ApplicationEndingNotifier()->Ending();
    QCoreApplication::quit();
}
