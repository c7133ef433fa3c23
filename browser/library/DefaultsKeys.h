#pragma once
// The user-defaults keys of Soundrake. No defaults are registered: an unset boolean
// reads false and an unset string reads null.
#include <QString>

inline const QString FavoritesDirectoryKey = QStringLiteral("Favorites Directory");
inline const QString DoNotCreateFavoritesFolder = QStringLiteral("Do Not Create Favorites Folder");
inline const QString StartupDirectoryKey = QStringLiteral("Startup Directory");
inline const QString AudioEditorKey = QStringLiteral("Audio Editor");
inline const QString OnlyShowAudioFilesKey = QStringLiteral("Only Show Audio Files");
inline const QString RoundOffBPMKey = QStringLiteral("Round Off BPM");
inline const QString PostFixBPMKey = QStringLiteral("Postfix BPM");
inline const QString SilentButtonKey = QStringLiteral("Silent BPM");
inline const QString TapPadWindowOpenKey = QStringLiteral("Tap Pad Window Open");
inline const QString InfoOpenKey = QStringLiteral("Show Info");
inline const QString SeekerUseSavedResultsKey = QStringLiteral("Seeker Use Saved Results");
inline const QString SeekerUseDeepScanKey = QStringLiteral("Seeker Use Deep Scan");
inline const QString SeekerFindsInPathsKey = QStringLiteral("Seeker Find In Paths");
inline const QString OpenInSeekerKey = QStringLiteral("Open in Seeker");
inline const QString AutoRandomKey = QStringLiteral("Auto Random");
inline const QString AutoPauseKey = QStringLiteral("Auto Pause");
inline const QString DrawerKey = QStringLiteral("Drawer");
// Where the version check fetches the version list (an http or https address); unset uses the
// maker's server. Tests point it at a server of their own.
inline const QString VersionListAddressKey = QStringLiteral("Version List Address");

// Window frame names (saved geometry lives under these names in the same store).
inline const QString DefaultWindowKey = QStringLiteral("Main Window");
inline const QString PreferenceWindowKey = QStringLiteral("Preference Window");
inline const QString TapPadWindowKey = QStringLiteral("Tap Pad Window");

// Posted whenever the favorites folder or its content may have changed.
inline const QString kFavoritesDirectoryDidChange = QStringLiteral("FavoritesDirectoryChanged");

inline const QString kAppName = QStringLiteral("Soundrake");
