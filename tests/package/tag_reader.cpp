// Reads the tags of one file again and again through the tag tool of a program folder, as the
// scan of a running Quavermill does: one user's program, for the test of two users at once.
//   tag_reader <program folder> <file> <expected title> <times>
// Exit code 0 when every read gave the title, 1 with the wrong title on standard error.

#include "exchange/tool_files.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 5)
        return 2;
    QString program = arguments[1];
    if (!program.endsWith(QLatin1Char('/')))
        program += QLatin1Char('/');
    const int times = arguments[4].toInt();
    for (int read = 0; read < times; ++read) {
        const QString title = ReadWmaTags(program, arguments[2]).Name;
        if (title != arguments[3]) {
            std::fprintf(stderr, "read %d of %s gave \"%s\"\n", read, qPrintable(arguments[2]),
                         qPrintable(title));
            return 1;
        }
    }
    return 0;
}
