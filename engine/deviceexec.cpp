// The device statements and functions: the media player, the clipboard and the speaker mixer, each
// run on the user-interface thread while the interpreter waits.
#include "engine/deviceexec.h"

#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/raiseerror.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/filechannels.h"
#include "engine/handover.h"
#include "engine/stacktags.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

#include <cmath>

namespace {

// Read and written on the user-interface thread only: the windows install them there, and every
// use below runs inside a hand-over.
MediaPlayerHooks InstalledPlayer;
SpeakerHooks InstalledSpeaker;

constexpr char16_t NotOpenText[] = u"Not Open";
constexpr char16_t StoppedText[] = u"Stopped";
constexpr char16_t PlayingText[] = u"Playing";
constexpr char16_t PausedText[] = u"Paused";
constexpr char16_t OtherModeText[] = u"Unsuport Mode";

// Without the window that serves them, the device statements cannot run: said plainly, never
// pretended.
bool PlayerReady() {
    if (InstalledPlayer.OpenMediaHook != nullptr && InstalledPlayer.CloseMediaHook != nullptr &&
        InstalledPlayer.PlayMediaHook != nullptr && InstalledPlayer.PauseMediaHook != nullptr &&
        InstalledPlayer.StopMediaHook != nullptr && InstalledPlayer.MediaModeHook != nullptr)
        return true;
    RaiseError(Err::StatementNotSupported, St::MEDIAPLAYER);
    return false;
}

bool SpeakerReady() {
    if (InstalledSpeaker.SpeakerVolumeHook != nullptr && InstalledSpeaker.SetSpeakerVolumeHook != nullptr &&
        InstalledSpeaker.SpeakerMuteHook != nullptr && InstalledSpeaker.SetSpeakerMuteHook != nullptr)
        return true;
    RaiseError(Err::StatementNotSupported, St::AUDIOMIXER);
    return false;
}

QClipboard* Clipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
               ? QGuiApplication::clipboard()
               : nullptr;
}

} // namespace

// ---- media player ------------------------------------------------------------------------------------

// MEDIAPLAYER.OPEN file$
void ExecMediaPlayerOpen() {
    QString name;
    if (!PopStringOperand(St::MEDIAPLAYER, name)) return;
    const QFileInfo file(ProgramFilePath(name));
    if (!file.isFile()) {
        RaiseError(Err::TargetFileNotFound);
        return;
    }
    const QString path = file.absoluteFilePath();
    Synchronize([&path] {
        if (!PlayerReady()) return;
        if (Rc.MediaPlayerOpen != 0) InstalledPlayer.CloseMediaHook();
        Rc.MediaPlayerOpen = 1;
        if (!InstalledPlayer.OpenMediaHook(path)) {
            // A file the player cannot play leaves nothing open, so the next PLAY does not act on it.
            Rc.MediaPlayerOpen = 0;
            RaiseError(Err::MediaPlayerFailed);
        }
    });
}

// MEDIAPLAYER.PLAY, .PAUSE, .STOP: nothing while no file is open.
namespace {

void ExecMediaPlayerCommand(void (*MediaPlayerHooks::*command)()) {
    Synchronize([command] {
        if (!PlayerReady()) return;
        if (Rc.MediaPlayerOpen != 0) (InstalledPlayer.*command)();
    });
}

} // namespace

void ExecMediaPlayerControl(int code) {
    switch (code) {
    case InSt::MediaPlayerPlay: ExecMediaPlayerCommand(&MediaPlayerHooks::PlayMediaHook); return;
    case InSt::MediaPlayerPause: ExecMediaPlayerCommand(&MediaPlayerHooks::PauseMediaHook); return;
    case InSt::MediaPlayerStop: ExecMediaPlayerCommand(&MediaPlayerHooks::StopMediaHook); return;
    default: return;
    }
}

// MEDIAPLAYER.MODE
void ExecMediaPlayerMode() {
    QString text = QString::fromUtf16(NotOpenText);
    Synchronize([&text] {
        if (!PlayerReady()) return;
        if (Rc.MediaPlayerOpen != 0) text = MediaModeText(InstalledPlayer.MediaModeHook());
    });
    GlPushStr(text);
}

// ---- clipboard ---------------------------------------------------------------------------------------

// CLIPBOARD.CLEAR
void ExecClipboardClear() {
    Synchronize([] {
        QClipboard* clipboard = Clipboard();
        if (clipboard == nullptr) {
            RaiseError(Err::ClipboardFailed);
            return;
        }
        clipboard->clear(QClipboard::Clipboard);
    });
}

// CLIPBOARD.SETTEXT (text$)
void ExecClipboardSetText() {
    QString text;
    if (!PopStringOperand(St::CLIPBOARD, text)) return;
    Synchronize([&text] {
        QClipboard* clipboard = Clipboard();
        if (clipboard == nullptr) {
            RaiseError(Err::ClipboardFailed);
            return;
        }
        // Plain text only; an empty text leaves the clipboard without text rather than unchanged.
        clipboard->setText(text, QClipboard::Clipboard);
    });
}

// CLIPBOARD.GETTEXT: the clipboard's text, or the empty text when it holds none.
void ExecClipboardGetText() {
    QString text;
    Synchronize([&text] {
        QClipboard* clipboard = Clipboard();
        if (clipboard == nullptr) {
            RaiseError(Err::ClipboardFailed);
            return;
        }
        const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
        if (data != nullptr && data->hasText()) text = data->text();
    });
    GlPushStr(text);
}

// ---- speaker mixer -------------------------------------------------------------------------------------

// AUDIOMIXER.MASTERVOLUME = v: 0 to 100, limited, truncated.
void ExecSpeakerVolume() {
    if (GlTopType() != GlValueType::Number) {
        RaiseError(Err::StatementType, St::AUDIOMIXER);
        return;
    }
    Extended value = GlPopNum();
    if (std::isnan(value)) {
        RaiseError(Err::StatementType, St::AUDIOMIXER);
        return;
    }
    if (value > SpeakerVolumeMax) value = SpeakerVolumeMax;
    if (value < SpeakerVolumeMin) value = SpeakerVolumeMin;
    const int volume = static_cast<int>(std::trunc(value)); // within 0..100 here
    Synchronize([volume] {
        if (SpeakerReady()) InstalledSpeaker.SetSpeakerVolumeHook(volume);
    });
}

// AUDIOMIXER.MASTERMUTE = flag
void ExecSpeakerMute() {
    if (GlTopType() != GlValueType::Boolean) {
        RaiseError(Err::StatementType, St::AUDIOMIXER);
        return;
    }
    const bool mute = GlPopBool();
    Synchronize([mute] {
        if (SpeakerReady()) InstalledSpeaker.SetSpeakerMuteHook(mute);
    });
}

// AUDIOMIXER.MASTERVOLUME as a value
void ExecSpeakerVolumeValue() {
    int volume = NoSpeakerVolume;
    Synchronize([&volume] {
        if (SpeakerReady()) volume = InstalledSpeaker.SpeakerVolumeHook();
    });
    GlPushNum(volume);
}

// AUDIOMIXER.MASTERMUTE as a value
void ExecSpeakerMuteValue() {
    bool mute = false;
    Synchronize([&mute] {
        if (SpeakerReady()) mute = InstalledSpeaker.SpeakerMuteHook();
    });
    GlPushBool(mute);
}

void InstallMediaPlayerHooks(const MediaPlayerHooks& hooks) {
    InstalledPlayer = hooks;
}
void InstallSpeakerHooks(const SpeakerHooks& hooks) {
    InstalledSpeaker = hooks;
}

QString MediaModeText(int mode) {
    switch (mode) {
    case MediaMode::Stopped: return QString::fromUtf16(StoppedText);
    case MediaMode::Playing: return QString::fromUtf16(PlayingText);
    case MediaMode::Paused: return QString::fromUtf16(PausedText);
    default: return QString::fromUtf16(OtherModeText);
    }
}

void SyncCloseMediaPlayer() {
    Synchronize([] {
        if (Rc.MediaPlayerOpen != 0 && InstalledPlayer.CloseMediaHook != nullptr)
            InstalledPlayer.CloseMediaHook();
        Rc.MediaPlayerOpen = 0;
    });
}
