// The calls the device statements make into the media-player window and its speaker mixer, which the
// window installs when it is made and removes when it goes: the engine declares them, the user
// interface fills them, so the engine never reaches up into a window. Each runs on the user-interface
// thread, inside a hand-over.
#pragma once

#include <QString>

// The media player's modes as programs see them; any other mode reads "Unsuport Mode".
namespace MediaMode {
inline constexpr int NotReady = 0;
inline constexpr int Stopped = 1;
inline constexpr int Playing = 2;
inline constexpr int Paused = 5;
} // namespace MediaMode

// The speaker volume scale of AUDIOMIXER.MASTERVOLUME.
inline constexpr int SpeakerVolumeMin = 0;
inline constexpr int SpeakerVolumeMax = 100;
inline constexpr int NoSpeakerVolume = -1; // the machine has no speaker volume

struct MediaPlayerHooks {
    bool (*OpenMediaHook)(const QString& path) = nullptr; // false: the file cannot be played
    void (*CloseMediaHook)() = nullptr;
    void (*PlayMediaHook)() = nullptr; // also makes pause, stop, next and previous the enabled buttons
    void (*PauseMediaHook)() = nullptr;
    void (*StopMediaHook)() = nullptr; // also makes play, pause, next and previous the enabled buttons
    int (*MediaModeHook)() = nullptr;  // MediaMode
};
struct SpeakerHooks {
    int (*SpeakerVolumeHook)() = nullptr; // 0..100, or NoSpeakerVolume
    void (*SetSpeakerVolumeHook)(int volume) = nullptr;
    bool (*SpeakerMuteHook)() = nullptr; // false without a mute switch
    void (*SetSpeakerMuteHook)(bool mute) = nullptr;
};
// Installing an empty set removes the hooks (a window that goes away).
void InstallMediaPlayerHooks(const MediaPlayerHooks& hooks);
void InstallSpeakerHooks(const SpeakerHooks& hooks);
