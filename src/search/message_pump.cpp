#include "search/message_pump.h"

#include <QCoreApplication>

void TMessagePump::Pump()
{
    if (!m_last.isValid() || m_last.elapsed() >= IntervalMs)
        Force();
}

void TMessagePump::Force()
{
    QCoreApplication::processEvents();
    m_last.start();
}
