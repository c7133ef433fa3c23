#pragma once
// The texts the Seeker shows: alerts, the progress text and the status line formats.
// The window shows every alert titled with the program's name.
#include <QString>

// Leaving the Seeker while a scan runs ("Yes" / "No").
inline const QString kBusyLeave = QStringLiteral(
    "Soundrake is busy processing the last scan, leaving the Seeker will abort the scan.  Are you sure you "
    "want to exit the Seeker before the scan is complete?");
// Entering the Seeker while a scan is still finishing and saved results are off (OK).
inline const QString kBusyGoAwayPlease = QStringLiteral(
    "Soundrake is busy processing the last scan, try again in a moment or used the saved scan long term memory.");
// Entering the Seeker while the Browser shows "/" ("Go Back" / "Continue").
inline const QString kSeekerWillTakeALogTimeWarning = QStringLiteral(
    "Seeking from the root directory will scan the entire computer and take some time.  It is much faster to "
    "start from a directory or volume where the audio is likely stored.  To do this simply go back to the "
    "Browser and navigate to the folder nearest the audio.\n\nIf you would like to scan the entire computer "
    "you can save the results after the scan is complete, so that Soundrake will bypass the scan phase next "
    "time you use the Seeker.");
// The saved scan memory file is missing (critical, OK).
inline const QString kNoScanMemoryError = QStringLiteral(
    "Unable to locate the Saved Scan Long Term Memory.  Did you remember to save it last time you "
    "scanned?\n\nSoundrake will rescan.");
// Deep scan was toggled while saved results are off ("Yes" / "No").
inline const QString kWantToRescan = QStringLiteral("Would you like to rescan now?");
// Text beside the progress bar while a scan runs.
inline const QString kOneMomentPlease = QStringLiteral("one momment... scanning directories...");
// Status line formats; fill them with seekerStatusLine().
inline const QString kLiveFilesFound = QStringLiteral("%d files found");
inline const QString kFilesFoundInMemory = QStringLiteral("%d files found in saved scan memory from %@");

// Saving while a scan runs (OK).
inline const QString kBusyScanningTryAgain = QStringLiteral("Soundrake is busy scanning, try again in a moment.");
// The scan list was saved (OK).
inline const QString kTheScanWasSaved = QStringLiteral(
    "The results of this scan have been saved in Soundrake's long term memory.  The next time you use the "
    "Seeker - Soundrake will use these saved results instead of scanning.");
// A file selected from a saved list is missing (critical, OK); "%@" is the file's name.
inline const QString kFileNotFoundSeeker = QStringLiteral(
    "Unable to locate the file \"%@\".  The file may have been moved, renamed or deleted outside of "
    "Soundrake.  The saved scan memory is out of sync with the system.");
// The saved scan memory could not be written (critical, OK); "%@" is the memory file's folder.
// The list stays in the Seeker and saved-results mode is not switched on.
inline const QString kScanMemoryNotSaved = QStringLiteral(
    "The results of this scan could not be saved in Soundrake's long term memory, because the folder "
    "\"%@\" cannot be written.  Soundrake will keep scanning each time you use the Seeker.");
