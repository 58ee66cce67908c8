#pragma once

#include "base/ini_file.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <functional>

class QLabel;

// One text, picture or colour key as a page reads it, with the default it reads it with.
struct TSkinKeyRead {
    QString file; // the ini file's name: "Quavermill.ini" or "ui.ini"
    QString section;
    QString key;
    QString defaultValue; // a text; a colour's name (#rrggbb when it has none); empty for a picture
};
// Hears every key that ReadText, ReadColor and LoadImage read, so that a check can hold the
// sample files to what the pages read.
using TSkinKeyRecorder = std::function<void(const TSkinKeyRead &)>;

// A skin ("ui.ini") or texts file ("Quavermill.ini") as the pages read it, with whoever hears
// the keys read from it (null: nobody).
class TSkinFile {
public:
    TSkinFile(const QString &path, TSkinKeyRecorder recorder = nullptr);
    const TIniFile &Ini() const { return m_ini; }
    void Record(const QString &section, const QString &key, const QString &defaultValue) const;

private:
    TIniFile m_ini;
    TSkinKeyRecorder m_recorder;
};

// The sixteen colour names of skin files, matched without regard to case; QColor() when the
// name is none of them.
QColor ColorByName(const QString &name);

// Reads a colour name; the default when the key is absent ("NO_COLOR") or names no colour.
QColor ReadColor(const TSkinFile &skin, const QString &section, const QString &key,
                 const QColor &defaultColor);

// Loads the picture a key names into an image control, scaled down to cover the control when
// it is larger. An absent key ("NO_FILE") changes nothing; a file that is missing, cannot be
// read, is no regular file or claims more than 4096 pixels a side hides the control.
void LoadImage(const TSkinFile &skin, const QString &section, const QString &key, QLabel *image);

// One of the program's own pictures (":/buttons/play.png"). On a screen with more than one
// device pixel per pixel its drawing at twice the size ("play@2x.png") is taken, which Qt's
// pixmap loading never looks for by itself.
QPixmap BuiltInPicture(const QString &path);

// Reads a text with its default; a present empty value is the empty text.
QString ReadText(const TSkinFile &texts, const QString &section, const QString &key,
                 const QString &defaultText);

// The pages' font for a designed height in pixels (21 for the large labels).
QFont PageFont(int designedHeight);

void SetTextColor(QWidget *widget, const QColor &color);
