// The settings' one instance, Settings, with their mutex, and the saved window sizes fitted to the screen.
#include "platform/settings.h"

#include <algorithm>

std::mutex& SettingsMutex() {
    static std::mutex mutex;
    return mutex;
}

SettingsState Settings;

namespace {

// One window's two sizes in the settings, the defaults they fall back to and the least ones.
struct WindowSizeSetting {
    int SettingsState::*Width;
    int SettingsState::*Height;
    int DefaultWidth, DefaultHeight;
    int MinWidth, MinHeight;
};
constexpr WindowSizeSetting WindowSizeSettings[] = {
    {&SettingsState::MainFormWidth, &SettingsState::MainFormHeight, DefaultMainFormWidth,
     DefaultMainFormHeight, MinMainFormWidth, MinMainFormHeight},
    {&SettingsState::EditorWidth, &SettingsState::EditorHeight, DefaultEditorWidth, DefaultEditorHeight,
     MinEditorWidth, MinEditorHeight},
    {&SettingsState::TScreenWidth, &SettingsState::TScreenHeight, DefaultTScreenWidth, DefaultTScreenHeight,
     MinTScreenWidth, MinTScreenHeight},
};

// room 0 stands for a screen of unknown size. The least size wins over the room: a window larger than
// a tiny screen still has its title bar at the top, a window below its least size has not.
int FittedSize(int value, int fallback, int least, int room) {
    value = std::max(UsableSize(value, fallback), least);
    return room > 0 ? std::max(least, std::min(value, room)) : value;
}

} // namespace

void FitWindowSizesToScreen(SettingsState& settings, QSize available) {
    int roomWidth = 0, roomHeight = 0;
    if (!available.isEmpty()) {
        roomWidth = std::max(1, available.width() - WindowSurroundWidth);
        roomHeight = std::max(1, available.height() - WindowSurroundHeight);
    }
    for (const WindowSizeSetting& row : WindowSizeSettings) {
        settings.*row.Width = FittedSize(settings.*row.Width, row.DefaultWidth, row.MinWidth, roomWidth);
        settings.*row.Height = FittedSize(settings.*row.Height, row.DefaultHeight, row.MinHeight, roomHeight);
    }
}

int UsableSize(int value, int defaultValue) {
    return value >= 1 ? value : defaultValue;
}

QSize UsableSavedSize(int SettingsState::*width, int SettingsState::*height, QSize defaults) {
    std::lock_guard<std::mutex> lock(SettingsMutex());
    return {UsableSize(Settings.*width, defaults.width()), UsableSize(Settings.*height, defaults.height())};
}
