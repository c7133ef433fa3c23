#pragma once
// Which menu commands are enabled, decided by the command's action name ("jump:") and the
// window's state. A command not named here is always enabled.
#include <QString>

struct MenuState {
    bool seekerShowing = false;  // the "Seeker" tab is showing
    bool soundLoaded = false;    // a sound is loaded for the current file
    bool scanRunning = false;    // a Seeker scan thread is running
};

bool validateMenuAction(const QString &action, const MenuState &state);
