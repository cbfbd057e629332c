// The media-player window: never shown, it hosts the two helpers of the sound statements, the media
// player MediaPlayer1 (over QMediaPlayer) and the audio mixer Mixer1. It installs the engine's
// MEDIAPLAYER and AUDIOMIXER hooks while it exists, and turns the end of a played file into a call
// of the program's SUB MediaPlayer_OnNotify, run as an event while no run is in progress.
#pragma once

#include "ui/mediaengine.h"
#include "ui/windowsstate.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class MixerDeviceApi;
class QEventLoop;
class QToolButton;
class TMixer;

// The media player's modes.
enum class TMPModes : std::uint8_t {
    mpNotReady,
    mpStopped,
    mpPlaying,
    mpRecording,
    mpSeeking,
    mpPaused,
    mpOpen
};
// Its buttons, in their order on the control.
enum class TMPBtnType : std::uint8_t {
    btPlay,
    btPause,
    btStop,
    btNext,
    btPrev,
    btStep,
    btBack,
    btRecord,
    btEject
};
inline constexpr int MPButtonCount = 9;
// How the command a notification reports ended.
enum class TMPNotifyValues : std::uint8_t { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

// A set of buttons.
class TButtonSet {
public:
    constexpr TButtonSet() = default;
    constexpr TButtonSet(std::initializer_list<TMPBtnType> buttons) {
        for (const TMPBtnType b : buttons)
            bits_ |= Bit(b);
    }
    constexpr bool Contains(TMPBtnType b) const { return (bits_ & Bit(b)) != 0; }
    constexpr bool operator==(const TButtonSet&) const = default;

private:
    static constexpr unsigned Bit(TMPBtnType b) { return 1u << static_cast<unsigned>(b); }
    unsigned bits_ = 0;
};

// The media-player control: a bar of buttons over a QMediaPlayer. Open waits until the file is
// loaded (or refused), as the commands of a classic media player complete before they return. Stop
// keeps the position, so the next Play goes on from there (from the start once the end was reached);
// Pause on a paused player resumes it. The end of playing, and a play cut short by Stop or Pause,
// raise Notified (later, from the event loop) while Notify is set.
class TMediaPlayer : public QWidget {
    Q_OBJECT
public:
    explicit TMediaPlayer(QWidget* parent = nullptr);
    ~TMediaPlayer() override;

    QString FileName;
    bool Notify = true;
    TMPNotifyValues NotifyValue = TMPNotifyValues::nvSuccessful;

    // Opens FileName; false when it cannot be played (nothing is open then).
    bool Open();
    void Close();
    void Play();
    void Pause();
    void Stop();
    void Next();     // to the end of the medium
    void Previous(); // to its start
    TMPModes Mode() const;
    bool IsOpen() const { return open_; }
    // The player reported an error since the file was opened.
    bool Failed() const { return failed_; }

    TButtonSet EnabledButtons() const { return enabled_; }
    void SetEnabledButtons(TButtonSet buttons);
    TButtonSet VisibleButtons() const { return visible_; }
    void SetVisibleButtons(TButtonSet buttons);
    QToolButton* Button(TMPBtnType type) const { return buttons_[static_cast<std::size_t>(type)]; }

    // Null until the first Open.
    QMediaPlayer* Player() const { return engine_ != nullptr ? engine_->Player() : nullptr; }
    // The window that shows a video while it plays (null until the first video).
    QVideoWidget* Display() const { return engine_ != nullptr ? engine_->Display() : nullptr; }

    // How long Open waits for a file to load.
    static constexpr int OpenTimeoutMs = 10000;

signals:
    void Notified();

private:
    bool NewPlayer();
    void StatusChanged(MediaEngine::Status status);
    void ErrorOccurred();
    void PostNotify(TMPNotifyValues value);

    std::unique_ptr<MediaEngine> engine_; // made by the first Open
    QEventLoop* loading_ = nullptr;       // Open's wait for the file to load, while it waits
    std::array<QToolButton*, MPButtonCount> buttons_{};
    TButtonSet enabled_;
    TButtonSet visible_;
    bool open_ = false;
    bool stopped_ = false; // stopped by Stop: held in place, reported as stopped
    bool playing_ = false; // a Play has not yet ended
    bool failed_ = false;
};

class TMPlayerForm : public QWidget {
    Q_OBJECT
public:
    // `mixerApi` null: the system's mixers. The window installs the engine's media-player and speaker
    // hooks and the main frame's media-player close; its destruction removes them.
    explicit TMPlayerForm(QWidget* parent = nullptr, MixerDeviceApi* mixerApi = nullptr);
    ~TMPlayerForm() override;

    TMediaPlayer* MediaPlayer1 = nullptr;
    TMixer* Mixer1 = nullptr;

    // Mixer1, with its devices scanned the first time it is asked for (the speaker operations).
    TMixer* SpeakerMixer();

    // The player's notification: runs "Call MediaPlayer_OnNotify" when the program has that SUB and
    // no run is in progress.
    void MediaPlayer1Notify();
    // Starts the interpreter on the event command.
    static bool StartMediaPlayerEvent(const QString& command);

private:
    bool mixerLoaded_ = false;
};

// Closes the player of the media-player window, if there is one (the end of the application).
void CloseMediaPlayer();
