#pragma once

#include <QElapsedTimer>

// Lets pending events run during a long walk, at most 25 times a second. Clicks, keys and
// timers reach the page only through a pump, so the walk still answers the user well within
// the tenth of a second a person notices, while most of its steps skip the repaint that a pump
// brings: a repaint of the tree costs about as much as reading a track's tags.
class TMessagePump {
public:
    static constexpr int IntervalMs = 40;

    // Runs pending events unless that was done less than IntervalMs ago.
    void Pump();
    // Runs pending events now.
    void Force();

private:
    QElapsedTimer m_last;
};
