#pragma once

#include <QElapsedTimer>

// Lets pending events run during a long walk, at most once every few milliseconds. Clicks,
// keys and timers reach the page only through a pump, so the walk still answers the user at
// once, while most of its steps skip the repaint that a pump brings.
class TMessagePump {
public:
    static constexpr int IntervalMs = 10;

    // Runs pending events unless that was done less than IntervalMs ago.
    void Pump();
    // Runs pending events now.
    void Force();

private:
    QElapsedTimer m_last;
};
