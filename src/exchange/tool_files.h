#pragma once

#include <QString>

// The program's side of the external tools "wav2wma" and "wma" in the program folder given to
// each call (ending in "/"). Each
// call writes the tool's parameter file ("wav2wma.prm" or "wma.prm", section "Parameters") in
// the exchange folder (ExchangeFolder), keeping keys that earlier runs left there (over its old
// content when nobody else may write the folder, else by replacing it), runs the tool with
// RunTool and reads what it answers there. Tag values reach the tools cut to 99 UTF-16 units; line breaks in
// them become spaces. Paths are passed whole, never cut to 259 units: a cut path would name
// another file. A path that holds a line break or begins or ends with a space or tab would
// reach the tool changed, so it fails the call without running anything. When the tool is
// missing nothing is written and nothing runs. The parameter file is deleted after a failed
// run. All calls block in a nested event loop (see RunTool) and never throw.

// The most UTF-16 units of a text value that passes between the program and a tool.
inline constexpr qsizetype ToolValueUnits = 99;
// The first units of text, one fewer when the cut would split a surrogate pair.
QString CutUnits(const QString &text, qsizetype units = ToolValueUnits);

// True when the program folder holds the tool called name.
bool ToolExists(const QString &programFolder, const QString &name);
// The file the converter makes of the WAV file at wavPath: its name with ".wma" in place of
// its extension.
QString WmaPathFor(const QString &wavPath);

// The four descriptive texts of a track as the tag tool reads them.
struct TWmaTags {
    QString Name;
    QString Album;
    QString Artist;
    QString Composer;
};

// Converts the WAV file at wavPath into a WMA file beside it (same name, extension ".wma")
// carrying the four texts as its tags. True when the tool reports success and the WMA file
// exists. The WAV file is left in place either way; the caller checks beforehand that the
// tool exists and that conversion is switched on.
bool ConvertWavToWma(const QString &programFolder, const QString &wavPath, const QString &name,
                     const QString &album, const QString &composer, const QString &artist);

// Writes the four texts into the tags of the MP3 or WMA file at path. Note the order of the
// texts: artist before composer. Whether the tool succeeded is not reported.
void UpdateWmaTags(const QString &programFolder, const QString &path, const QString &name,
                   const QString &album, const QString &artist, const QString &composer);

// The tags of the MP3 (ID3v2, else ID3v1) or WMA file at path. Four empty texts when the tool
// is missing, fails, or leaves a text out; "wma.rslt" is deleted after a successful run.
TWmaTags ReadWmaTags(const QString &programFolder, const QString &path);
