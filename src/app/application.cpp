#include "app/application.h"

#include "app/locations.h"

#include <QCoreApplication>

static bool g_ending = false;

QString Title()
{
    return QLatin1String(ProductName) + QStringLiteral(" v.1.2.2");
}

bool ApplicationEnding()
{
    return g_ending;
}

void EndApplication()
{
    g_ending = true;
    QCoreApplication::quit();
}
