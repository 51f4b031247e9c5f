#include "settings/settings.h"

// constinit: the defaults are in force before any start-up code runs.
constinit Settings currentSettings;
constinit Settings settingsSnapshot;
constinit bool snapshotTaken = false;

void TakeSettingsSnapshot() {
    if (snapshotTaken) return;
    settingsSnapshot = currentSettings;
    snapshotTaken = true;
}

void RestoreSettingsSnapshot() {
    currentSettings = settingsSnapshot;
    snapshotTaken = false;
}
