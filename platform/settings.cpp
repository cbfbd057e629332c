#include "platform/settings.h"

std::mutex& SettingsMutex() {
    static std::mutex mutex;
    return mutex;
}

SettingsState Settings;
