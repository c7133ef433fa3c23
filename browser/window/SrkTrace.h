#pragma once
// A diagnostic trace of what the window does (folders listed, current file, playback),
// written to standard error when the environment variable SRK_TRACE is set. End-to-end
// checks and bug reports read it; it costs one flag test when off.
#include <QString>

bool srkTraceEnabled();
void srkTrace(const QString &event);
