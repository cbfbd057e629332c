// The engine's side of the devices: MEDIAPLAYER.OPEN/PLAY/PAUSE/STOP/CLOSE and .MODE, CLIPBOARD.CLEAR,
// .SETTEXT and .GETTEXT, AUDIOMIXER.MASTERVOLUME and .MASTERMUTE (set and read). All of them run on
// the user-interface thread while the interpreter waits. The clipboard is reached directly; the
// media player and the speaker mixer through hooks that the media-player window installs.
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

// Installed by the media-player window; each runs on the user-interface thread.
struct MediaPlayerHooks {
    bool (*Open)(const QString& path) = nullptr; // false: the file cannot be played
    void (*Close)() = nullptr;
    void (*Play)() = nullptr; // also makes pause, stop, next and previous the enabled buttons
    void (*Pause)() = nullptr;
    void (*Stop)() = nullptr; // also makes play, pause, next and previous the enabled buttons
    int (*Mode)() = nullptr;  // MediaMode
};
struct SpeakerHooks {
    int (*GetVolume)() = nullptr; // 0..100, or NoSpeakerVolume
    void (*SetVolume)(int volume) = nullptr;
    bool (*GetMute)() = nullptr; // false without a mute switch
    void (*SetMute)(bool mute) = nullptr;
};
// Installing an empty set removes the hooks (a window that goes away).
void InstallMediaPlayerHooks(const MediaPlayerHooks& hooks);
void InstallSpeakerHooks(const SpeakerHooks& hooks);

// The executors. MEDIAPLAYER.OPEN file$, .CLOSE (SyncCloseMediaPlayer), .PLAY, .PAUSE, .STOP (by code).
void ExecMediaPlayerOpen();
void ExecMediaPlayerControl(int code);
// CLIPBOARD.CLEAR, CLIPBOARD.SETTEXT s$, AUDIOMIXER.MASTERVOLUME = v, AUDIOMIXER.MASTERMUTE = b; and
// as functions CLIPBOARD.GETTEXT and the values of MASTERVOLUME, MASTERMUTE and MEDIAPLAYER.MODE.
void ExecClipboardClear();
void ExecClipboardSetText();
void ExecSpeakerVolume();
void ExecSpeakerMute();
void ExecClipboardGetText();
void ExecSpeakerVolumeValue();
void ExecSpeakerMuteValue();
void ExecMediaPlayerMode();

// Closes the media player and forgets the open file; every compiled run starts with it.
void SyncCloseMediaPlayer();

// The text MEDIAPLAYER.MODE gives for a player mode while a file is open.
QString MediaModeText(int mode);
