// The settings' one instance, Settings, with their mutex, and the saved window sizes fitted to the screen.
#include "platform/settings.h"

#include <algorithm>

std::mutex& SettingsMutex() {
    static std::mutex mutex;
    return mutex;
}

SettingsState Settings;

namespace {

// One window's two sizes in the settings and the defaults they fall back to.
struct WindowSizeSetting {
    int SettingsState::*Width;
    int SettingsState::*Height;
    int DefaultWidth, DefaultHeight;
};
constexpr WindowSizeSetting WindowSizeSettings[] = {
    {&SettingsState::MainFormWidth, &SettingsState::MainFormHeight, DefaultMainFormWidth,
     DefaultMainFormHeight},
    {&SettingsState::EditorWidth, &SettingsState::EditorHeight, DefaultEditorWidth, DefaultEditorHeight},
    {&SettingsState::TScreenWidth, &SettingsState::TScreenHeight, DefaultTScreenWidth, DefaultTScreenHeight},
};

// room 0 stands for a screen of unknown size.
int FittedSize(int value, int fallback, int room) {
    value = UsableSize(value, fallback);
    return room > 0 ? std::min(value, room) : value;
}

} // namespace

void FitWindowSizesToScreen(SettingsState& settings, QSize available) {
    int roomWidth = 0, roomHeight = 0;
    if (!available.isEmpty()) {
        // However small the screen, a window keeps at least one pixel each way.
        roomWidth = std::max(1, available.width() - WindowSurroundWidth);
        roomHeight = std::max(1, available.height() - WindowSurroundHeight);
    }
    for (const WindowSizeSetting& row : WindowSizeSettings) {
        settings.*row.Width = FittedSize(settings.*row.Width, row.DefaultWidth, roomWidth);
        settings.*row.Height = FittedSize(settings.*row.Height, row.DefaultHeight, roomHeight);
    }
}

int UsableSize(int value, int defaultValue) {
    return value >= 1 ? value : defaultValue;
}

QSize UsableSavedSize(int SettingsState::*width, int SettingsState::*height, QSize defaults) {
    std::lock_guard<std::mutex> lock(SettingsMutex());
    return {UsableSize(Settings.*width, defaults.width()), UsableSize(Settings.*height, defaults.height())};
}
