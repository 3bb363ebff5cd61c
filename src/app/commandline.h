// Trendora's command line: the options it understands and the recorder file it opens at start.
#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;

struct CCommandLine
{
    // Recorder files to open once the program runs, as File > Open opens the files chosen
    // there; none for none.
    QStringList files;
    QString strError; // what is wrong with the arguments; empty when they are fine
};

// Declares every option and argument; the one place to add new ones.
void SetUpCommandLine(QCommandLineParser& parser);

// Reads arrArgs (the program first, without Qt's own options such as -platform).
CCommandLine ParseCommandLine(const QStringList& arrArgs);

// The arguments without the options Qt's application objects take for themselves
// ("-platform offscreen", "-style=fusion", "--reverse" ...), so that the rest can be checked
// before a display is needed.
QStringList WithoutQtOptions(const QStringList& arrArgs);

// Answers --help and --version and ends the process with 0, and a command line it cannot use
// with a message on stderr and 64. It needs no display, so it runs before the GUI application
// exists; a sound command line returns to the caller.
void AnswerInfoOptions(int& argc, char** argv);
