// The device statements and functions through the engine's routes: the clipboard round trip (also
// from a separate interpreter thread, as a run makes it), the media player's rules over recording
// hooks, and the speaker volume's limits and the "no mixer" values.
#include "core/errornumbers.h"
#include "core/internalcodes.h"
#include "core/sharedstate.h"
#include "core/valuestack.h"
#include "core/vocabulary.h"
#include "engine/deviceexec.h"
#include "engine/dispatch.h"
#include "engine/handover.h"
#include "engine/runloop.h"
#include "frontend/initall.h"
#include "tests/compiletext.h"
#include "tests/testsupport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>
#include <vector>

namespace {

constexpr int MixerVolumeValue = SettingValueBase + InSt::AudioMixerMasterVolume;
constexpr int MixerMuteValue = SettingValueBase + InSt::AudioMixerMasterMute;
constexpr int MediaModeValue = SettingValueBase + InSt::MediaPlayerMode;

// ---- recording hooks
// ---------------------------------------------------------------------------------------

struct Recorder {
    std::vector<QString> Calls;
    bool OpenSucceeds = true;
    int Mode = MediaMode::Stopped;
    int Volume = NoSpeakerVolume;
    bool Muted = false;
};
Recorder Rec;

const MediaPlayerHooks RecordingPlayer{[](const QString& path) {
                                           Rec.Calls.push_back(QStringLiteral("open ") +
                                                               QDir(path).dirName());
                                           return Rec.OpenSucceeds;
                                       },
                                       [] { Rec.Calls.push_back(QStringLiteral("close")); },
                                       [] { Rec.Calls.push_back(QStringLiteral("play")); },
                                       [] { Rec.Calls.push_back(QStringLiteral("pause")); },
                                       [] { Rec.Calls.push_back(QStringLiteral("stop")); },
                                       [] { return Rec.Mode; }};

const SpeakerHooks RecordingSpeaker{[] { return Rec.Volume; },
                                    [](int volume) {
                                        Rec.Calls.push_back(QStringLiteral("volume %1").arg(volume));
                                        Rec.Volume = volume;
                                    },
                                    [] { return Rec.Muted; },
                                    [](bool mute) {
                                        Rec.Calls.push_back(mute ? QStringLiteral("mute")
                                                                 : QStringLiteral("unmute"));
                                        Rec.Muted = mute;
                                    }};

class Devices : public ::testing::Test {
protected:
    void SetUp() override {
        ResetInterpreter();
        Rec = Recorder{};
        ReopenHandOver();
        SetHandOverTarget(&target_); // on this thread the hand-over runs its work at once
        InstallMediaPlayerHooks(RecordingPlayer);
        InstallSpeakerHooks(RecordingSpeaker);
    }
    void TearDown() override {
        InstallMediaPlayerHooks(MediaPlayerHooks{});
        InstallSpeakerHooks(SpeakerHooks{});
        SetHandOverTarget(nullptr);
        Rc.MediaPlayerOpen = 0;
    }
    static void Statement(int code) { ExecuteStatement(code); }
    static void Function(int code) { ExecuteFunction(code); }
    static QString PopText() {
        QString text;
        EXPECT_TRUE(GlPopStr(text));
        return text;
    }
    QString MediaFile(const char* name) {
        const QString path = folder_.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("RIFF");
        return path;
    }
    QObject target_;
    QTemporaryDir folder_;
};

// ---- clipboard
// ----------------------------------------------------------------------------------------------

TEST_F(Devices, ClipboardTextGoesInAndComesBackOut) {
    GlPushStr(QStringLiteral("日本語 and\r\nsecond line"));
    Statement(InSt::ClipboardSetText);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(ValueStackCount, 0);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("日本語 and\r\nsecond line"));

    Function(InFn::ClipboardGetText);
    ASSERT_EQ(GlTopType(), GlValueType::String);
    EXPECT_EQ(PopText(), QStringLiteral("日本語 and\r\nsecond line"));

    Statement(InSt::ClipboardClear);
    Function(InFn::ClipboardGetText);
    EXPECT_EQ(PopText(), QString());
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(Devices, AClipboardWithoutTextReadsAsEmpty) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("application/x-lorvex-test"), QByteArray("binary"));
    QGuiApplication::clipboard()->setMimeData(data);
    Function(InFn::ClipboardGetText);
    EXPECT_EQ(PopText(), QString());
}

TEST_F(Devices, SettingEmptyTextLeavesNoOldTextBehind) {
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    GlPushStr(QString());
    Statement(InSt::ClipboardSetText);
    Function(InFn::ClipboardGetText);
    EXPECT_EQ(PopText(), QString());
}

TEST_F(Devices, ClipboardTextMustBeText) {
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    GlPushNum(12);
    Statement(InSt::ClipboardSetText);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::CLIPBOARD);
    EXPECT_EQ(GlTopType(), GlValueType::Number); // nothing taken
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST_F(Devices, TheClipboardRoundTripRunsOnTheUserInterfaceThreadWhileTheInterpreterWaits) {
    std::atomic<bool> done{false};
    QString readBack;
    int error = -1;
    std::thread interpreter([&] {
        GlPushStr(QStringLiteral("from the interpreter"));
        ExecuteStatement(InSt::ClipboardSetText);
        ExecuteFunction(InFn::ClipboardGetText);
        GlPopStr(readBack);
        error = Fe.ErrorNumber;
        done = true;
    });
    PumpUntil([&done] { return done.load(); });
    interpreter.join();
    EXPECT_EQ(error, 0);
    EXPECT_EQ(readBack, QStringLiteral("from the interpreter"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("from the interpreter"));
}

// ---- media player
// ------------------------------------------------------------------------------------------

TEST_F(Devices, WithoutAnOpenFileTheCommandsDoNothingAndTheModeIsNotOpen) {
    Statement(InSt::MediaPlayerPlay);
    Statement(InSt::MediaPlayerPause);
    Statement(InSt::MediaPlayerStop);
    Function(MediaModeValue);
    EXPECT_EQ(PopText(), QStringLiteral("Not Open"));
    EXPECT_TRUE(Rec.Calls.empty());
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(Devices, OpeningAFileLetsTheCommandsThroughAndCloseForgetsIt) {
    GlPushStr(MediaFile("tune.wav"));
    Statement(InSt::MediaPlayerOpen);
    ASSERT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Rc.MediaPlayerOpen.load(), 1);
    Statement(InSt::MediaPlayerPlay);
    Statement(InSt::MediaPlayerPause);
    Statement(InSt::MediaPlayerStop);
    EXPECT_EQ(Rec.Calls, (std::vector<QString>{QStringLiteral("open tune.wav"), QStringLiteral("play"),
                                               QStringLiteral("pause"), QStringLiteral("stop")}));
    Statement(InSt::MediaPlayerClose);
    EXPECT_EQ(Rc.MediaPlayerOpen.load(), 0);
    EXPECT_EQ(Rec.Calls.back(), QStringLiteral("close"));
    Statement(InSt::MediaPlayerClose); // closing again asks nothing of the player
    EXPECT_EQ(Rec.Calls.size(), 5u);
    Statement(InSt::MediaPlayerPlay);
    EXPECT_EQ(Rec.Calls.size(), 5u);
}

TEST_F(Devices, OpeningASecondFileClosesTheFirst) {
    GlPushStr(MediaFile("one.wav"));
    Statement(InSt::MediaPlayerOpen);
    GlPushStr(MediaFile("two.wav"));
    Statement(InSt::MediaPlayerOpen);
    EXPECT_EQ(Rec.Calls, (std::vector<QString>{QStringLiteral("open one.wav"), QStringLiteral("close"),
                                               QStringLiteral("open two.wav")}));
}

TEST_F(Devices, FileNamesTakeBackslashesAsFolderSeparators) {
    QDir(folder_.path()).mkdir(QStringLiteral("sub"));
    MediaFile("sub/inner.wav");
    GlPushStr(folder_.path() + QStringLiteral("\\sub\\inner.wav"));
    Statement(InSt::MediaPlayerOpen);
    EXPECT_EQ(Fe.ErrorNumber, 0);
    EXPECT_EQ(Rec.Calls, (std::vector<QString>{QStringLiteral("open inner.wav")}));
}

TEST_F(Devices, TheModeTextsFollowThePlayer) {
    GlPushStr(MediaFile("tune.wav"));
    Statement(InSt::MediaPlayerOpen);
    const std::pair<int, const char*> cases[] = {{MediaMode::Stopped, "Stopped"},
                                                 {MediaMode::Playing, "Playing"},
                                                 {MediaMode::Paused, "Paused"},
                                                 {MediaMode::NotReady, "Unsuport Mode"},
                                                 {4, "Unsuport Mode"}};
    for (const auto& [mode, text] : cases) {
        Rec.Mode = mode;
        Function(MediaModeValue);
        EXPECT_EQ(PopText(), QString::fromLatin1(text)) << mode;
    }
}

TEST_F(Devices, OpenRefusesNonTextAndMissingFiles) {
    GlPushNum(3);
    Statement(InSt::MediaPlayerOpen);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::MEDIAPLAYER);
    GlClear();
    Fe.ErrorNumber = 0;

    GlPushStr(folder_.filePath(QStringLiteral("missing.wav")));
    Statement(InSt::MediaPlayerOpen);
    EXPECT_EQ(Fe.ErrorNumber, Err::TargetFileNotFound);
    Fe.ErrorNumber = 0;
    GlPushStr(folder_.path()); // a folder is no media file
    Statement(InSt::MediaPlayerOpen);
    EXPECT_EQ(Fe.ErrorNumber, Err::TargetFileNotFound);
    EXPECT_TRUE(Rec.Calls.empty());
    EXPECT_EQ(Rc.MediaPlayerOpen.load(), 0);
}

TEST_F(Devices, AFileThePlayerCannotOpenIsAnErrorAndLeavesNothingOpen) {
    Rec.OpenSucceeds = false;
    GlPushStr(MediaFile("broken.wav"));
    Statement(InSt::MediaPlayerOpen);
    EXPECT_EQ(Fe.ErrorNumber, Err::MediaPlayerFailed);
    EXPECT_EQ(Rc.MediaPlayerOpen.load(), 0);
    Fe.ErrorNumber = 0;
    Statement(InSt::MediaPlayerPlay);
    Function(MediaModeValue);
    EXPECT_EQ(PopText(), QStringLiteral("Not Open"));
    EXPECT_EQ(Rec.Calls.size(), 1u);
}

TEST_F(Devices, TheRunStartClosesAnOpenPlayer) {
    GlPushStr(MediaFile("tune.wav"));
    Statement(InSt::MediaPlayerOpen);
    SyncCloseMediaPlayer();
    EXPECT_EQ(Rc.MediaPlayerOpen.load(), 0);
    EXPECT_EQ(Rec.Calls.back(), QStringLiteral("close"));
}

// ---- speaker mixer
// -----------------------------------------------------------------------------------------

TEST_F(Devices, TheVolumeIsLimitedAndTruncated) {
    const std::pair<Extended, int> cases[] = {{150, 100}, {-5, 0}, {49.9L, 49}, {100, 100}, {0.99L, 0}};
    for (const auto& [given, set] : cases) {
        GlPushNum(given);
        Statement(InSt::AudioMixerMasterVolume);
        ASSERT_EQ(Fe.ErrorNumber, 0);
        EXPECT_EQ(Rec.Calls.back(), QStringLiteral("volume %1").arg(set)) << static_cast<double>(given);
    }
    GlPushNum(std::numeric_limits<Extended>::infinity());
    Statement(InSt::AudioMixerMasterVolume);
    EXPECT_EQ(Rec.Calls.back(), QStringLiteral("volume 100"));
    Function(MixerVolumeValue);
    ASSERT_EQ(GlTopType(), GlValueType::Number);
    EXPECT_EQ(GlPopNum(), 100);
}

TEST_F(Devices, TheVolumeMustBeAUsableNumber) {
    GlPushStr(QStringLiteral("50"));
    Statement(InSt::AudioMixerMasterVolume);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_EQ(Fe.ErrorNameIndex, St::AUDIOMIXER);
    GlClear();
    Fe.ErrorNumber = 0;
    GlPushNum(std::numeric_limits<Extended>::quiet_NaN());
    Statement(InSt::AudioMixerMasterVolume);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    GlClear();
    Fe.ErrorNumber = 0;
    GlPushNum(1);
    Statement(InSt::AudioMixerMasterMute);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementType);
    EXPECT_TRUE(Rec.Calls.empty());
}

TEST_F(Devices, WithoutAMixerTheValuesAreMinusOneAndFalse) {
    Function(MixerVolumeValue);
    EXPECT_EQ(GlPopNum(), NoSpeakerVolume);
    Function(MixerMuteValue);
    ASSERT_EQ(GlTopType(), GlValueType::Boolean);
    EXPECT_FALSE(GlPopBool());
}

TEST_F(Devices, MuteGoesThroughAndReadsBack) {
    GlPushBool(true);
    Statement(InSt::AudioMixerMasterMute);
    Function(MixerMuteValue);
    EXPECT_TRUE(GlPopBool());
    GlPushBool(false);
    Statement(InSt::AudioMixerMasterMute);
    EXPECT_EQ(Rec.Calls, (std::vector<QString>{QStringLiteral("mute"), QStringLiteral("unmute")}));
}

TEST_F(Devices, WithoutTheMediaPlayerWindowTheStatementsSaySoPlainly) {
    InstallMediaPlayerHooks(MediaPlayerHooks{});
    InstallSpeakerHooks(SpeakerHooks{});
    Function(MixerVolumeValue);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementNotSupported);
    EXPECT_EQ(Fe.ErrorNameIndex, St::AUDIOMIXER);
    Fe.ErrorNumber = 0;
    Statement(InSt::MediaPlayerPlay);
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementNotSupported);
    EXPECT_EQ(Fe.ErrorNameIndex, St::MEDIAPLAYER);
    Fe.ErrorNumber = 0;
    SyncCloseMediaPlayer(); // a run start without the window is no error
    EXPECT_EQ(Fe.ErrorNumber, 0);
}

TEST_F(Devices, CodesWithoutAnExecutorAreReported) {
    ExecuteStatement(InSt::MediaPlayerMode); // only ever a value
    EXPECT_EQ(Fe.ErrorNumber, Err::StatementNotSupported);
    Fe.ErrorNumber = 0;
    ExecuteFunction(InSt::AudioMixerMasterVolume); // a statement code, not a value's
    EXPECT_EQ(Fe.ErrorNumber, Err::FunctionNotSupported);
    Fe.ErrorNumber = 0;
    EXPECT_EQ(ValueStackCount, 0);
}

} // namespace
