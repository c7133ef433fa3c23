#pragma once
// Soundrake's command-line face, answered without a window:
//   --info PATH...                 one tab-separated line of file facts per path
//   --rewrite-rate FACTOR PATH     declare the current rate x FACTOR in the header
//   --reset-rate PATH              declare 44100 Hz in the header
//   --scan DIR [--deep] [--filter TEXT] [--in-paths]   the Seeker's list for DIR
// Exit status 0 on success, 1 when a file cannot be rewritten, 2 for bad arguments.
#include <QStringList>
#include <QTextStream>

int runSoundrakeCommand(const QStringList &args, QTextStream &out, QTextStream &err);
