// The media-player window offscreen: its make-up, a generated WAV file opened, played, paused and
// stopped through the engine's routes with the mode texts and buttons that follow, a file it cannot
// play, and the end of playing turned into a call of the program's SUB MediaPlayer_OnNotify.
// Playing needs no sound device with the GStreamer backend; where it fails for want of one, those
// tests are skipped.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/deviceexec.h"
#include "engine/dispatch.h"
#include "engine/handover.h"
#include "engine/lxthread.h"
#include "engine/runwindowqueue.h"
#include "frontend/initall.h"
#include "platform/alsamixer.h"
#include "tests/runsupport.h"
#include "ui/mainframe.h"
#include "ui/mixer.h"
#include "ui/mplayerform.h"
#include "ui/runform.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr int MediaModeValue = SettingValueBase + InSt::MediaPlayerMode;
constexpr int MixerVolumeValue = SettingValueBase + InSt::AudioMixerMasterVolume;

// A mixer interface without devices, so the tests never touch the machine's own mixer. It counts the
// scans that ask it for its devices.
class NoMixerApi : public MixerDeviceApi {
public:
    int Scans = 0;
    int DeviceCount() override {
        ++Scans;
        return 0;
    }
    int GetDeviceCaps(int, MixerApi::DeviceCaps&) override { return MixerApi::Result::BadDeviceId; }
    int OpenDevice(int, MixerApi::Handle&) override { return MixerApi::Result::BadDeviceId; }
    int CloseDevice(MixerApi::Handle) override { return MixerApi::Result::InvalidHandle; }
    int GetDestinationLine(MixerApi::Handle, std::uint32_t, MixerApi::LineInfo&) override {
        return MixerApi::Result::InvalidHandle;
    }
    int GetSourceLine(MixerApi::Handle, std::uint32_t, std::uint32_t, MixerApi::LineInfo&) override {
        return MixerApi::Result::InvalidHandle;
    }
    int GetLineControls(MixerApi::Handle, std::uint32_t, std::vector<MixerApi::ControlInfo>&) override {
        return MixerApi::Result::InvalidHandle;
    }
    int GetValues(MixerApi::Handle, std::uint32_t, std::uint32_t, std::uint32_t,
                  std::vector<std::uint32_t>&) override {
        return MixerApi::Result::InvalidHandle;
    }
    int SetValues(MixerApi::Handle, std::uint32_t, std::uint32_t, std::uint32_t,
                  const std::vector<std::uint32_t>&) override {
        return MixerApi::Result::InvalidHandle;
    }
    int GetListTexts(MixerApi::Handle, std::uint32_t, std::uint32_t, std::uint32_t,
                     std::vector<MixerApi::ListText>&) override {
        return MixerApi::Result::InvalidHandle;
    }
    std::vector<int> EventDescriptors(MixerApi::Handle) override { return {}; }
    std::vector<MixerApi::Change> TakeChanges(MixerApi::Handle) override { return {}; }
};

// A mono 16-bit PCM WAV file holding a tone of `ms` milliseconds.
void WriteWave(const QString& path, int ms) {
    constexpr int Rate = 8000;
    constexpr int BytesPerSample = 2;
    constexpr double Amplitude = 8000;
    const int samples = Rate * ms / 1000;
    QByteArray data;
    const auto put32 = [&data](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        data.append(b, 4);
    };
    const auto put16 = [&data](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        data.append(b, 2);
    };
    data.append("RIFF");
    put32(36 + samples * BytesPerSample);
    data.append("WAVEfmt ");
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(Rate);
    put32(Rate * BytesPerSample);
    put16(BytesPerSample);
    put16(16);
    data.append("data");
    put32(samples * BytesPerSample);
    for (int i = 0; i < samples; ++i)
        put16(static_cast<quint16>(static_cast<qint16>(Amplitude * std::sin(i * 0.3))));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

class MediaPlayerWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
        InitAll();
        Fe.ErrorNumber = 0;
        runForm_ = std::make_unique<TRunForm>(); // the hand-over's target
        runForm_->CLSBtnClick();
        form_ = std::make_unique<TMPlayerForm>(nullptr, &mixerApi_);
        shortTune_ = folder_.filePath(QStringLiteral("short.wav"));
        longTune_ = folder_.filePath(QStringLiteral("long.wav"));
        WriteWave(shortTune_, 300);
        WriteWave(longTune_, 4000);
    }
    void TearDown() override {
        TLXMTHread::StopAndJoin();
        form_.reset();
        runForm_.reset();
        ReopenHandOver();
        RunWindowQueue::Instance().Reset();
        Rc.StopRequest = 0;
        Rc.MediaPlayerOpen = 0;
    }

    void Statement(int code) { ExecuteStatement(code); }
    void Open(const QString& path) {
        GlPushStr(path);
        Statement(InSt::MediaPlayerOpen);
    }
    QString ModeText() {
        ExecuteFunction(MediaModeValue);
        QString text;
        EXPECT_TRUE(GlPopStr(text));
        return text;
    }
    // True when playing failed because the machine has no way to play sound.
    bool NoSoundOutput() const {
        return form_->MediaPlayer1->Failed() && QMediaDevices::audioOutputs().isEmpty();
    }
    bool RunProgram(const char* text) {
        StartProgramRun(text);
        return WaitForRunEnd(runForm_.get());
    }

    QTemporaryDir folder_;
    NoMixerApi mixerApi_;
    std::unique_ptr<TRunForm> runForm_;
    std::unique_ptr<TMPlayerForm> form_;
    QString shortTune_;
    QString longTune_;
};

TEST_F(MediaPlayerWindow, IsAHiddenWindowWithFivePlayerButtons) {
    EXPECT_EQ(Win.MPlayerForm, form_.get());
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Media Player"));
    EXPECT_FALSE(form_->isVisible());
    EXPECT_FALSE(form_->windowFlags() & Qt::WindowCloseButtonHint);
    TMediaPlayer* player = form_->MediaPlayer1;
    for (const TMPBtnType b : {TMPBtnType::btPlay, TMPBtnType::btPause, TMPBtnType::btStop,
                               TMPBtnType::btNext, TMPBtnType::btPrev}) {
        EXPECT_TRUE(player->VisibleButtons().Contains(b));
        ASSERT_NE(player->Button(b), nullptr);
        EXPECT_TRUE(player->Button(b)->isEnabled());
    }
    EXPECT_FALSE(player->VisibleButtons().Contains(TMPBtnType::btRecord));
    EXPECT_TRUE(static_cast<bool>(WinHooks.CloseMediaPlayerHook));
    // The multimedia backend waits for the first file.
    EXPECT_EQ(player->Player(), nullptr);
}

TEST_F(MediaPlayerWindow, OpenPlayPauseStopAndCloseShowInTheModeAndTheButtons) {
    Open(longTune_);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Rc.MediaPlayerOpen.load(), 1);
    EXPECT_EQ(ModeText(), QStringLiteral("Stopped"));

    Statement(InSt::MediaPlayerPlay);
    TMediaPlayer* player = form_->MediaPlayer1;
    EXPECT_EQ(player->EnabledButtons(),
              (TButtonSet{TMPBtnType::btPause, TMPBtnType::btStop, TMPBtnType::btNext, TMPBtnType::btPrev}));
    EXPECT_FALSE(player->Button(TMPBtnType::btPlay)->isEnabled());
    PumpUntil([&] { return player->Player()->position() > 0 || NoSoundOutput(); }, 5000);
    if (NoSoundOutput()) GTEST_SKIP() << "this machine cannot play sound";
    EXPECT_EQ(ModeText(), QStringLiteral("Playing"));

    Statement(InSt::MediaPlayerPause);
    EXPECT_EQ(ModeText(), QStringLiteral("Paused"));
    Statement(InSt::MediaPlayerPause); // a second pause resumes
    EXPECT_EQ(ModeText(), QStringLiteral("Playing"));

    Statement(InSt::MediaPlayerStop);
    EXPECT_EQ(ModeText(), QStringLiteral("Stopped"));
    EXPECT_EQ(player->EnabledButtons(),
              (TButtonSet{TMPBtnType::btPlay, TMPBtnType::btPause, TMPBtnType::btNext, TMPBtnType::btPrev}));
    Statement(InSt::MediaPlayerPause); // pausing a stopped player does nothing
    EXPECT_EQ(ModeText(), QStringLiteral("Stopped"));
    // Stop holds the place: playing goes on from there.
    const qint64 held = player->Player()->position();
    Statement(InSt::MediaPlayerPlay);
    EXPECT_EQ(ModeText(), QStringLiteral("Playing"));
    EXPECT_GE(player->Player()->position(), held);

    Statement(InSt::MediaPlayerClose);
    EXPECT_EQ(Rc.MediaPlayerOpen.load(), 0);
    EXPECT_EQ(ModeText(), QStringLiteral("Not Open"));
    EXPECT_FALSE(player->IsOpen());
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(MediaPlayerWindow, PlayingToTheEndNotifiesAndLeavesThePlayerStopped) {
    Open(shortTune_);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    QSignalSpy notified(form_->MediaPlayer1, &TMediaPlayer::Notified);
    Statement(InSt::MediaPlayerPlay);
    PumpUntil([&] { return notified.count() > 0 || NoSoundOutput(); }, 10000);
    if (NoSoundOutput()) GTEST_SKIP() << "this machine cannot play sound";
    ASSERT_EQ(notified.count(), 1);
    EXPECT_EQ(form_->MediaPlayer1->NotifyValue, TMPNotifyValues::nvSuccessful);
    EXPECT_EQ(ModeText(), QStringLiteral("Stopped"));

    // Played again from the start, and stopped early: the cut-short play is reported as aborted.
    Statement(InSt::MediaPlayerPlay);
    EXPECT_EQ(ModeText(), QStringLiteral("Playing"));
    Statement(InSt::MediaPlayerStop);
    PumpUntil([&] { return notified.count() > 1; }, 2000);
    EXPECT_EQ(notified.count(), 2);
    EXPECT_EQ(form_->MediaPlayer1->NotifyValue, TMPNotifyValues::nvAborted);
}

TEST_F(MediaPlayerWindow, AFileThatIsNoMediaIsRefusedAndNothingStaysOpen) {
    const QString path = folder_.filePath(QStringLiteral("text.wav"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is not a sound at all");
    file.close();
    Open(path);
    EXPECT_EQ(Fe.ErrorNumber, Err::MediaPlayerFailed);
    EXPECT_EQ(Rc.MediaPlayerOpen.load(), 0);
    EXPECT_EQ(ModeText(), QStringLiteral("Not Open"));
    EXPECT_FALSE(form_->MediaPlayer1->IsOpen());
    Fe.ErrorNumber = 0;
    // A good file afterwards opens as usual.
    Open(shortTune_);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ModeText(), QStringLiteral("Stopped"));
}

TEST_F(MediaPlayerWindow, TheApplicationsEndClosesThePlayer) {
    Open(shortTune_);
    ASSERT_TRUE(form_->MediaPlayer1->IsOpen());
    WinHooks.CloseMediaPlayerHook();
    EXPECT_FALSE(form_->MediaPlayer1->IsOpen());
    EXPECT_EQ(Rc.MediaPlayerOpen.load(), 0);
}

TEST_F(MediaPlayerWindow, TheMixerIsScannedAtItsFirstUseAndWithoutDevicesReadsMinusOne) {
    ASSERT_NE(form_->Mixer1, nullptr);
    EXPECT_EQ(mixerApi_.Scans, 0);
    ExecuteFunction(MixerVolumeValue);
    EXPECT_EQ(GlPopNum(), NoSpeakerVolume);
    GlPushNum(50);
    ExecuteStatement(InSt::AudioMixerMasterVolume);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(mixerApi_.Scans, 1);
    EXPECT_EQ(form_->Mixer1->GetDeviceCount(), 0);
}

TEST_F(MediaPlayerWindow, WhenTheWindowGoesTheHooksGoWithIt) {
    form_.reset();
    EXPECT_EQ(Win.MPlayerForm, nullptr);
    EXPECT_FALSE(static_cast<bool>(WinHooks.CloseMediaPlayerHook));
    Statement(InSt::MediaPlayerPlay);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementNotSupported);
}

// ---- the notification event
// --------------------------------------------------------------------------------

constexpr char NotifyProgram[] = "SUB MediaPlayer_OnNotify\r\n"
                                 "  PRINT \"notified\"\r\n"
                                 "END SUB\r\n"
                                 "PRINT \"main\"\r\n";

TEST_F(MediaPlayerWindow, WithoutTheSubANotificationChangesNothing) {
    ASSERT_TRUE(RunProgram("PRINT \"main\"\r\n"));
    const QString before = runForm_->Text();
    Fe.CommandText = QStringLiteral("untouched");
    form_->MediaPlayer1Notify();
    EXPECT_EQ(Rc.ThreadBusy.load(), 0);
    EXPECT_EQ(Fe.CommandText, QStringLiteral("untouched"));
    EXPECT_EQ(runForm_->Text(), before);
}

TEST_F(MediaPlayerWindow, WithTheSubANotificationCallsItAfterTheProgramHasEnded) {
    ASSERT_TRUE(RunProgram(NotifyProgram));
    EXPECT_TRUE(runForm_->Text().contains(QStringLiteral("main")));
    EXPECT_FALSE(runForm_->Text().contains(QStringLiteral("notified")));
    form_->MediaPlayer1->Notify = false;
    form_->MediaPlayer1Notify();
    EXPECT_EQ(Fe.CommandText, QStringLiteral("Call MediaPlayer_OnNotify"));
    EXPECT_TRUE(form_->MediaPlayer1->Notify);
    ASSERT_TRUE(WaitForRunEnd(runForm_.get()));
    EXPECT_TRUE(runForm_->Text().contains(QStringLiteral("notified")));
    EXPECT_TRUE(runForm_->isVisible());
}

TEST_F(MediaPlayerWindow, ANotificationDuringARunIsIgnored) {
    ASSERT_TRUE(RunProgram(NotifyProgram));
    Fe.CommandText = QStringLiteral("untouched");
    Rc.ThreadBusy = 1; // as while a run is in progress
    form_->MediaPlayer1Notify();
    EXPECT_EQ(Fe.CommandText, QStringLiteral("untouched"));
    Rc.ThreadBusy = 0;
}

TEST_F(MediaPlayerWindow, TheEndOfAPlayedFileRunsTheSub) {
    ASSERT_TRUE(RunProgram(NotifyProgram));
    Open(shortTune_);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    Statement(InSt::MediaPlayerPlay);
    const bool called = PumpUntil(
        [&] {
            runForm_->ApplyQueue();
            return runForm_->Text().contains(QStringLiteral("notified")) || NoSoundOutput();
        },
        10000);
    if (NoSoundOutput()) GTEST_SKIP() << "this machine cannot play sound";
    EXPECT_TRUE(called);
}

} // namespace
