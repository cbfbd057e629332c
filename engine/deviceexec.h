// The engine's side of the devices: MEDIAPLAYER.OPEN/PLAY/PAUSE/STOP/CLOSE and .MODE, CLIPBOARD.CLEAR,
// .SETTEXT and .GETTEXT, AUDIOMIXER.MASTERVOLUME and .MASTERMUTE (set and read). All of them run on
// the user-interface thread while the interpreter waits. The clipboard is reached directly; the
// media player and the speaker mixer through the hooks that the media-player window installs
// (engine/devicehooks.h).
#pragma once

#include "engine/devicehooks.h"

#include <QString>

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
