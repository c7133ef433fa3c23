#pragma once
// The Seeker on the command line: `--scan DIR [--deep] [--filter TEXT] [--in-paths]` prints the
// Seeker's filtered list for DIR, one full path per line in list order, with the same scan and
// filter as the Seeker tab and without a window.
#include <QStringList>
#include <QTextStream>

// `args` are the command-line arguments after the program's name (a leading program name that
// does not start with "-" is skipped too). Returns 0 after printing the list, 1 when DIR is not
// a folder, 2 with a usage line on `err` for bad arguments.
int runSeekerScanCommand(const QStringList &args, QTextStream &out, QTextStream &err);
