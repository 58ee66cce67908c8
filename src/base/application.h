#pragma once

#include <QObject>
#include <QString>

// "Quavermill v.1.2.2": the application title and the prefix of every page caption.
QString Title();

// Set once a page ends the application, before the event loop is told to quit. Long work
// that lets the event loop run checks it and stops.
bool ApplicationEnding();
void EndApplication();

// Emits Ending() once EndApplication has set the flag, so that a wait in a nested event loop
// (a running external tool) learns of it at once.
class TApplicationEndingNotifier : public QObject {
    Q_OBJECT
public:
    Q_SIGNAL void Ending();
};
TApplicationEndingNotifier *ApplicationEndingNotifier();
