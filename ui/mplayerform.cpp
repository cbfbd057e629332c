// The media-player window: its player with the buttons, the notifications it passes to the program,
// and the hooks through which the device statements reach the player and the speaker mixer.
#include "ui/mplayerform.h"

#include "core/sharedstate.h"
#include "engine/devicehooks.h"
#include "engine/lxthread.h"
#include "frontend/declnames.h"
#include "ui/mainframe.h"
#include "ui/mixer.h"
#include "ui/runform.h"

#include <QEventLoop>
#include <QFont>
#include <QHBoxLayout>
#include <QMetaObject>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace {

constexpr int FormWidth = 241;
constexpr int FormHeight = 112;
constexpr char16_t FormCaption[] = u"Media Player";
constexpr char16_t FormFontName[] = u"ＭＳ Ｐゴシック";
constexpr char16_t NotifySubName[] = u"MEDIAPLAYER_ONNOTIFY";
constexpr char16_t NotifyCommand[] = u"Call MediaPlayer_OnNotify";

const TButtonSet FormButtons{TMPBtnType::btPlay, TMPBtnType::btPause, TMPBtnType::btStop, TMPBtnType::btNext,
                             TMPBtnType::btPrev};
const TButtonSet ButtonsWhilePlaying{TMPBtnType::btPause, TMPBtnType::btStop, TMPBtnType::btNext,
                                     TMPBtnType::btPrev};
const TButtonSet ButtonsWhileStopped{TMPBtnType::btPlay, TMPBtnType::btPause, TMPBtnType::btNext,
                                     TMPBtnType::btPrev};
const TButtonSet AllButtons{TMPBtnType::btPlay, TMPBtnType::btPause,  TMPBtnType::btStop,
                            TMPBtnType::btNext, TMPBtnType::btPrev,   TMPBtnType::btStep,
                            TMPBtnType::btBack, TMPBtnType::btRecord, TMPBtnType::btEject};

bool Playable(MediaEngine::Status status) {
    using Status = MediaEngine::Status;
    switch (status) {
    case Status::Loaded:
    case Status::Stalled:
    case Status::Buffering:
    case Status::Buffered:
    case Status::EndOfMedia:
    case Status::Loading: // still loading when the wait ran out: let it go on
        return true;
    default: return false;
    }
}

// ---- the engine's hooks (user-interface thread) -------------------------------------------------------

TMediaPlayer* FormPlayer() {
    return Win.MPlayerForm != nullptr ? Win.MPlayerForm->MediaPlayer1 : nullptr;
}

bool HookOpen(const QString& path) {
    TMediaPlayer* player = FormPlayer();
    if (player == nullptr) return false;
    player->FileName = path;
    return player->Open();
}
// A command of the engine's to the form's player, when there is one; `enabled`, where given, is the
// set of buttons the command leaves usable.
void PlayerCommand(void (TMediaPlayer::*command)(), const TButtonSet* enabled = nullptr) {
    TMediaPlayer* player = FormPlayer();
    if (player == nullptr) return;
    if (enabled != nullptr) player->SetEnabledButtons(*enabled);
    (player->*command)();
}
void HookClose() {
    PlayerCommand(&TMediaPlayer::Close);
}
void HookPlay() {
    PlayerCommand(&TMediaPlayer::Play, &ButtonsWhilePlaying);
}
void HookPause() {
    PlayerCommand(&TMediaPlayer::Pause);
}
void HookStop() {
    PlayerCommand(&TMediaPlayer::Stop, &ButtonsWhileStopped);
}
int HookMode() {
    TMediaPlayer* player = FormPlayer();
    return player != nullptr ? static_cast<int>(player->Mode()) : MediaMode::NotReady;
}

TMixer* FormMixer() {
    return Win.MPlayerForm != nullptr ? Win.MPlayerForm->SpeakerMixer() : nullptr;
}

int HookGetVolume() {
    TMixer* mixer = FormMixer();
    return mixer != nullptr ? mixer->GetSpeakerVolume() : NoSpeakerVolume;
}
void HookSetVolume(int volume) {
    if (TMixer* mixer = FormMixer()) mixer->SetSpeakerVolume(volume);
}
bool HookGetMute() {
    TMixer* mixer = FormMixer();
    return mixer != nullptr && mixer->GetSpeakerMute();
}
void HookSetMute(bool mute) {
    if (TMixer* mixer = FormMixer()) mixer->SetSpeakerMute(mute);
}

} // namespace

// ---- TMediaPlayer ---------------------------------------------------------------------------------------

// The player and its audio output are made by the first Open: they load the multimedia module and bring
// up the multimedia backend and the sound server connection, which a program that plays nothing
// should not wait for.
TMediaPlayer::TMediaPlayer(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    struct ButtonSpec {
        TMPBtnType Type;
        const char16_t* Text;
        void (TMediaPlayer::*Action)();
    };
    // Step, back, record and eject have nothing to act on in a file player: they get no button.
    const ButtonSpec specs[] = {{TMPBtnType::btPlay, u"▶", &TMediaPlayer::Play},
                                {TMPBtnType::btPause, u"❚❚", &TMediaPlayer::Pause},
                                {TMPBtnType::btStop, u"■", &TMediaPlayer::Stop},
                                {TMPBtnType::btNext, u"▶|", &TMediaPlayer::Next},
                                {TMPBtnType::btPrev, u"|◀", &TMediaPlayer::Previous}};
    for (const ButtonSpec& spec : specs) {
        auto* button = new QToolButton(this);
        button->setText(QString::fromUtf16(spec.Text));
        const auto action = spec.Action;
        connect(button, &QToolButton::clicked, this, [this, action] { (this->*action)(); });
        layout->addWidget(button);
        buttons_[static_cast<std::size_t>(spec.Type)] = button;
    }
    SetVisibleButtons(AllButtons);
    SetEnabledButtons(AllButtons);
}

TMediaPlayer::~TMediaPlayer() {
    playing_ = false;
    engine_.reset(); // stops the player
}

void TMediaPlayer::SetEnabledButtons(TButtonSet buttons) {
    enabled_ = buttons;
    for (int i = 0; i < MPButtonCount; ++i)
        if (QToolButton* button = buttons_[static_cast<std::size_t>(i)])
            button->setEnabled(buttons.Contains(static_cast<TMPBtnType>(i)));
}

void TMediaPlayer::SetVisibleButtons(TButtonSet buttons) {
    visible_ = buttons;
    for (int i = 0; i < MPButtonCount; ++i)
        if (QToolButton* button = buttons_[static_cast<std::size_t>(i)])
            button->setVisible(buttons.Contains(static_cast<TMPBtnType>(i)));
}

// A new player for each file (see MediaEngine::NewPlayer); false when the multimedia module is missing.
bool TMediaPlayer::NewPlayer() {
    if (engine_ == nullptr) engine_ = LoadMediaEngine(this);
    if (engine_ == nullptr) return false;
    engine_->NewPlayer([this](MediaEngine::Status status) { StatusChanged(status); },
                       [this] { ErrorOccurred(); });
    return true;
}

bool TMediaPlayer::Open() {
    Close();
    if (FileName.isEmpty() || !NewPlayer()) return false;
    engine_->SetSource(FileName);
    // Loading runs in the background: wait here until the file is loaded or refused. Closing the
    // application ends the wait too (it ends every event loop). The status alone decides: the player
    // keeps the error of an earlier file, and its error reports may come late.
    if (engine_->MediaStatus() == MediaEngine::Status::Loading) {
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        timeout.start(OpenTimeoutMs);
        QEventLoop* const outer = std::exchange(loading_, &loop);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        loading_ = outer;
    }
    if (!Playable(engine_->MediaStatus())) {
        engine_->SetSource(QString());
        return false;
    }
    open_ = true;
    failed_ = false;
    stopped_ = false;
    playing_ = false;
    return true;
}

void TMediaPlayer::Close() {
    // A closed player owes no notification.
    playing_ = false;
    open_ = false;
    stopped_ = false;
    if (engine_ == nullptr || engine_->Player() == nullptr) return; // never opened
    engine_->Stop();
    engine_->SetSource(QString());
    engine_->HideVideo();
}

void TMediaPlayer::Play() {
    if (!open_) return;
    if (playing_) PostNotify(TMPNotifyValues::nvSuperseded);
    stopped_ = false;
    if (engine_->MediaStatus() == MediaEngine::Status::EndOfMedia) engine_->SetPosition(0);
    playing_ = true;
    engine_->Play();
    engine_->ShowVideo(FileName);
}

void TMediaPlayer::Pause() {
    if (!open_) return;
    switch (Mode()) {
    case TMPModes::mpPaused:
        playing_ = true;
        engine_->Play();
        break;
    case TMPModes::mpPlaying:
        if (playing_) {
            playing_ = false;
            PostNotify(TMPNotifyValues::nvSuperseded);
        }
        engine_->Pause();
        break;
    default: break;
    }
}

void TMediaPlayer::Stop() {
    if (!open_) return;
    if (playing_) {
        playing_ = false;
        PostNotify(TMPNotifyValues::nvAborted);
    }
    // Held in place rather than rewound, so that Play goes on where it stopped.
    if (engine_->PlaybackState() == MediaEngine::State::Playing) engine_->Pause();
    stopped_ = true;
}

void TMediaPlayer::Next() {
    if (open_) engine_->SetPosition(engine_->Duration());
}

void TMediaPlayer::Previous() {
    if (open_) engine_->SetPosition(0);
}

TMPModes TMediaPlayer::Mode() const {
    if (!open_) return TMPModes::mpNotReady;
    const MediaEngine::Status status = engine_->MediaStatus();
    if (status == MediaEngine::Status::NoMedia || status == MediaEngine::Status::Invalid)
        return TMPModes::mpNotReady;
    if (stopped_) return TMPModes::mpStopped;
    switch (engine_->PlaybackState()) {
    case MediaEngine::State::Playing: return TMPModes::mpPlaying;
    case MediaEngine::State::Paused: return TMPModes::mpPaused;
    default: return TMPModes::mpStopped;
    }
}

void TMediaPlayer::StatusChanged(MediaEngine::Status status) {
    if (loading_ != nullptr && status != MediaEngine::Status::Loading) loading_->quit();
    if (!playing_) return;
    if (status == MediaEngine::Status::EndOfMedia) {
        playing_ = false;
        PostNotify(TMPNotifyValues::nvSuccessful);
    } else if (status == MediaEngine::Status::Invalid) {
        playing_ = false;
        PostNotify(TMPNotifyValues::nvFailure);
    }
}

void TMediaPlayer::ErrorOccurred() {
    if (!open_) return;
    failed_ = true;
    if (!playing_) return;
    playing_ = false;
    PostNotify(TMPNotifyValues::nvFailure);
}

// The notification arrives later from the event loop, never inside the command that caused it.
void TMediaPlayer::PostNotify(TMPNotifyValues value) {
    if (!Notify) return;
    QMetaObject::invokeMethod(
        this,
        [this, value] {
            NotifyValue = value;
            emit Notified();
        },
        Qt::QueuedConnection);
}

// ---- TMPlayerForm ----------------------------------------------------------------------------------------

TMPlayerForm::TMPlayerForm(QWidget* parent, MixerDeviceApi* mixerApi)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QString::fromUtf16(FormCaption));
    resize(FormWidth, FormHeight);
    setFont(QFont(QString::fromUtf16(FormFontName)));

    MediaPlayer1 = new TMediaPlayer(this);
    MediaPlayer1->SetVisibleButtons(FormButtons);
    MediaPlayer1->SetEnabledButtons(FormButtons);
    connect(MediaPlayer1, &TMediaPlayer::Notified, this, &TMPlayerForm::MediaPlayer1Notify);

    Mixer1 = new TMixer(this, mixerApi);

    Win.MPlayerForm = this;
    InstallMediaPlayerHooks(MediaPlayerHooks{HookOpen, HookClose, HookPlay, HookPause, HookStop, HookMode});
    InstallSpeakerHooks(SpeakerHooks{HookGetVolume, HookSetVolume, HookGetMute, HookSetMute});
    WinHooks.CloseMediaPlayerHook = [] { CloseMediaPlayer(); };
}

TMPlayerForm::~TMPlayerForm() {
    if (Win.MPlayerForm != this) return;
    InstallMediaPlayerHooks(MediaPlayerHooks{});
    InstallSpeakerHooks(SpeakerHooks{});
    WinHooks.CloseMediaPlayerHook = nullptr;
    Win.MPlayerForm = nullptr;
}

// The scan opens every mixer device, and through the sound system's configuration may try the sound
// server: it waits for the first AUDIOMIXER, so that a program without one does not pay for it.
TMixer* TMPlayerForm::SpeakerMixer() {
    if (!mixerLoaded_) {
        mixerLoaded_ = true;
        Mixer1->Loaded();
    }
    return Mixer1;
}

void TMPlayerForm::MediaPlayer1Notify() {
    // Only one interpreter thread at a time; and the declared names belong to it while it runs, so
    // they are asked only when none does.
    if (Rc.ThreadBusy != 0) return;
    if (!IsSubName(QString::fromUtf16(NotifySubName))) return;
    MediaPlayer1->Notify = true;
    StartMediaPlayerEvent(QString::fromUtf16(NotifyCommand));
}

bool TMPlayerForm::StartMediaPlayerEvent(const QString& command) {
    return StartEventCall(command);
}

void CloseMediaPlayer() {
    if (Win.MPlayerForm != nullptr) Win.MPlayerForm->MediaPlayer1->Close();
    Rc.MediaPlayerOpen = 0;
}
