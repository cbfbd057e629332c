// The audio-mixer component: its scan, volume and balance arithmetic, mute switch and notifications
// over a fake mixer interface whose values and writes the tests see; then the ALSA mixer without any
// device, and with a private PulseAudio server (skipped where none can be started).
#include "platform/alsamixer.h"
#include "tests/testsupport.h"
#include "ui/mixer.h"

#include <alsa/asoundlib.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>

using namespace MixerApi;

namespace {

// ---- a fake mixer interface ----------------------------------------------------------------------------

struct FakeControl {
    ControlInfo Info;
    std::vector<std::uint32_t> Values; // one per channel
};

struct FakeLine {
    LineInfo Info;
    std::vector<FakeControl> Controls;
    bool FailControls = false;
};

struct FakeDevice {
    DeviceCaps Caps;
    std::vector<FakeLine> Destinations;
    std::vector<std::vector<FakeLine>> Sources; // per destination
    bool FailCaps = false;
    bool FailOpen = false;
};

struct Write {
    std::uint32_t ControlId;
    std::uint32_t Channels;
    std::vector<std::uint32_t> Values;
};

class FakeMixerApi : public MixerDeviceApi {
public:
    std::vector<FakeDevice> Devices;
    std::vector<Write> Writes;
    std::vector<Handle> Closed;
    std::map<Handle, int> OpenDevices;
    Handle NextHandle = 100;

    int DeviceCount() override { return static_cast<int>(Devices.size()); }
    int GetDeviceCaps(int device, DeviceCaps& caps) override {
        if (device < 0 || device >= DeviceCount()) return Result::BadDeviceId;
        if (Devices[static_cast<std::size_t>(device)].FailCaps) return Result::NoDriver;
        caps = Devices[static_cast<std::size_t>(device)].Caps;
        return Result::NoError;
    }
    int OpenDevice(int device, Handle& handle) override {
        if (Devices[static_cast<std::size_t>(device)].FailOpen) return Result::NoDriver;
        handle = NextHandle++;
        OpenDevices[handle] = device;
        return Result::NoError;
    }
    int CloseDevice(Handle handle) override {
        Closed.push_back(handle);
        return OpenDevices.erase(handle) != 0 ? Result::NoError : Result::InvalidHandle;
    }
    int GetDestinationLine(Handle handle, std::uint32_t d, LineInfo& line) override {
        FakeDevice* device = DeviceOf(handle);
        if (device == nullptr) return Result::InvalidHandle;
        if (d >= device->Destinations.size()) return Result::InvalidLine;
        line = device->Destinations[d].Info;
        return Result::NoError;
    }
    int GetSourceLine(Handle handle, std::uint32_t d, std::uint32_t s, LineInfo& line) override {
        FakeDevice* device = DeviceOf(handle);
        if (device == nullptr) return Result::InvalidHandle;
        if (d >= device->Sources.size() || s >= device->Sources[d].size()) return Result::InvalidLine;
        line = device->Sources[d][s].Info;
        return Result::NoError;
    }
    int GetLineControls(Handle handle, std::uint32_t lineId, std::vector<ControlInfo>& controls) override {
        FakeLine* line = LineOf(handle, lineId);
        if (line == nullptr) return Result::InvalidLine;
        if (line->FailControls) return Result::InvalidParam;
        controls.clear();
        for (const FakeControl& control : line->Controls)
            controls.push_back(control.Info);
        return Result::NoError;
    }
    int GetValues(Handle handle, std::uint32_t controlId, std::uint32_t channels, std::uint32_t,
                  std::vector<std::uint32_t>& values) override {
        FakeControl* control = ControlOf(handle, controlId);
        if (control == nullptr) return Result::InvalidControl;
        for (std::uint32_t i = 0; i < channels && i < control->Values.size(); ++i)
            values[i] = control->Values[i];
        return Result::NoError;
    }
    int SetValues(Handle handle, std::uint32_t controlId, std::uint32_t channels, std::uint32_t,
                  const std::vector<std::uint32_t>& values) override {
        FakeControl* control = ControlOf(handle, controlId);
        if (control == nullptr) return Result::InvalidControl;
        Writes.push_back(Write{controlId, channels, values});
        for (std::uint32_t i = 0; i < channels && i < control->Values.size(); ++i)
            control->Values[i] = values[i];
        if (channels == 1) std::fill(control->Values.begin(), control->Values.end(), values[0]);
        return Result::NoError;
    }
    int GetListTexts(Handle, std::uint32_t, std::uint32_t, std::uint32_t, std::vector<ListText>&) override {
        return Result::InvalidParam;
    }
    std::vector<int> EventDescriptors(Handle) override { return {}; }
    std::vector<Change> TakeChanges(Handle) override { return {}; }

    FakeDevice* DeviceOf(Handle handle) {
        const auto it = OpenDevices.find(handle);
        return it == OpenDevices.end() ? nullptr : &Devices[static_cast<std::size_t>(it->second)];
    }
    FakeLine* LineOf(Handle handle, std::uint32_t lineId) {
        FakeDevice* device = DeviceOf(handle);
        if (device == nullptr) return nullptr;
        for (FakeLine& line : device->Destinations)
            if (line.Info.LineId == lineId) return &line;
        for (auto& sources : device->Sources)
            for (FakeLine& line : sources)
                if (line.Info.LineId == lineId) return &line;
        return nullptr;
    }
    FakeControl* ControlOf(Handle handle, std::uint32_t controlId) {
        FakeDevice* device = DeviceOf(handle);
        if (device == nullptr) return nullptr;
        const auto find = [controlId](FakeLine& line) -> FakeControl* {
            for (FakeControl& control : line.Controls)
                if (control.Info.ControlId == controlId) return &control;
            return nullptr;
        };
        for (FakeLine& line : device->Destinations)
            if (FakeControl* c = find(line)) return c;
        for (auto& sources : device->Sources)
            for (FakeLine& line : sources)
                if (FakeControl* c = find(line)) return c;
        return nullptr;
    }
};

constexpr std::uint32_t SpeakersVolumeId = 1;
constexpr std::uint32_t SpeakersMuteId = 2;

FakeControl Volume(std::uint32_t id, std::vector<std::uint32_t> values) {
    FakeControl control;
    control.Info.ControlId = id;
    control.Info.ControlType = ControlKind::Volume;
    control.Info.Name = QStringLiteral("Volume");
    control.Info.Bounds[1] = 65535;
    control.Values = std::move(values);
    return control;
}

FakeControl Mute(std::uint32_t id, std::uint32_t channels, bool muted) {
    FakeControl control;
    control.Info.ControlId = id;
    control.Info.ControlType = ControlKind::Mute;
    control.Values.assign(channels, muted ? 1u : 0u);
    return control;
}

FakeLine Line(std::uint32_t id, std::uint32_t type, std::uint32_t channels, std::vector<FakeControl> controls,
              const char* name = "Line") {
    FakeLine line;
    line.Info.LineId = id;
    line.Info.ComponentType = type;
    line.Info.Channels = channels;
    line.Info.Controls = static_cast<std::uint32_t>(controls.size());
    line.Info.Name = QString::fromLatin1(name);
    line.Info.ShortName = QString::fromLatin1(name);
    line.Controls = std::move(controls);
    return line;
}

// One device with a stereo speakers destination at (left, right), a mute switch, and no sources.
FakeDevice SpeakerDevice(std::uint32_t left, std::uint32_t right, std::uint32_t channels = 2) {
    FakeDevice device;
    device.Caps.Name = QStringLiteral("Fake");
    device.Caps.Destinations = 1;
    std::vector<std::uint32_t> values{left};
    if (channels >= 2) values.push_back(right);
    device.Destinations.push_back(
        Line(0, Component::DstSpeakers, channels,
             {Volume(SpeakersVolumeId, values), Mute(SpeakersMuteId, channels, false)}, "Master"));
    device.Sources.emplace_back();
    return device;
}

class MixerTest : public ::testing::Test {
protected:
    std::unique_ptr<TMixer> Scan() {
        auto mixer = std::make_unique<TMixer>(nullptr, &api_);
        mixer->Loaded();
        return mixer;
    }
    FakeControl& SpeakersVolume() { return api_.Devices[0].Destinations[0].Controls[0]; }
    std::vector<Write> WritesOf(std::uint32_t controlId) const {
        std::vector<Write> writes;
        for (const Write& w : api_.Writes)
            if (w.ControlId == controlId) writes.push_back(w);
        return writes;
    }

    FakeMixerApi api_;
};

// ---- no device
// -----------------------------------------------------------------------------------------------

TEST_F(MixerTest, WithoutADeviceTheSpeakerReadsMinusOneAndFalseAndSettersDoNothing) {
    auto mixer = Scan();
    EXPECT_EQ(mixer->GetDeviceCount(), 0);
    EXPECT_EQ(mixer->GetDefaultDevice(), nullptr);
    EXPECT_EQ(mixer->GetSpeakerVolume(), -1);
    EXPECT_FALSE(mixer->GetSpeakerMute());
    mixer->SetSpeakerVolume(40);
    mixer->SetSpeakerMute(true);
    EXPECT_EQ(mixer->GetSpeakerVolume(), -1);
    EXPECT_TRUE(api_.Writes.empty());
}

TEST_F(MixerTest, DevicesThatCannotBeQueriedOrOpenedAreSkipped) {
    FakeDevice broken = SpeakerDevice(0, 0);
    broken.FailCaps = true;
    FakeDevice closed = SpeakerDevice(0, 0);
    closed.FailOpen = true;
    api_.Devices = {broken, closed, SpeakerDevice(65535, 65535)};
    auto mixer = Scan();
    ASSERT_EQ(mixer->GetDeviceCount(), 1);
    EXPECT_EQ(mixer->GetSpeakerVolume(), 100); // the third device is the default now
}

TEST_F(MixerTest, AnAutoScanSwitchedOffLeavesTheTreeEmptyUntilAScan) {
    api_.Devices = {SpeakerDevice(65535, 65535)};
    TMixer mixer(nullptr, &api_);
    mixer.AutoScan = false;
    mixer.Loaded();
    EXPECT_EQ(mixer.GetSpeakerVolume(), -1);
    mixer.Scan();
    EXPECT_EQ(mixer.GetSpeakerVolume(), 100);
}

TEST_F(MixerTest, ASpeakersLineWithoutVolumeControlReadsMinusOneButMutes) {
    FakeDevice device = SpeakerDevice(0, 0);
    device.Destinations[0].Controls.erase(device.Destinations[0].Controls.begin());
    device.Destinations[0].Info.Controls = 1;
    api_.Devices = {device};
    auto mixer = Scan();
    EXPECT_EQ(mixer->GetSpeakerVolume(), -1);
    mixer->SetSpeakerVolume(50);
    EXPECT_TRUE(api_.Writes.empty());
    mixer->SetSpeakerMute(true);
    EXPECT_TRUE(mixer->GetSpeakerMute());
}

// ---- volume and balance
// ------------------------------------------------------------------------------------------

TEST_F(MixerTest, ReadingAnUnevenPairLearnsTheBalanceAndASetKeepsIt) {
    api_.Devices = {SpeakerDevice(65535, 32768)};
    auto mixer = Scan();
    EXPECT_EQ(mixer->GetSpeakerVolume(), 100);
    TMixerItem* speakers = mixer->GetDefaultDevice()->FindLine(TMixerLineType::dtSpeakers, 0);
    ASSERT_NE(speakers, nullptr);
    EXPECT_NEAR(speakers->BalanceRatio, 0.5, 0.001);
    EXPECT_EQ(speakers->GetBalance(), 33);

    mixer->SetSpeakerVolume(50);
    const auto writes = WritesOf(SpeakersVolumeId);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].Channels, 2u);
    EXPECT_EQ(writes[0].Values, (std::vector<std::uint32_t>{32768, 16384}));
}

TEST_F(MixerTest, AQuietPairDoesNotChangeTheRememberedBalance) {
    api_.Devices = {SpeakerDevice(1000, 1500)};
    auto mixer = Scan();
    EXPECT_EQ(mixer->GetSpeakerVolume(), 2); // max(1000, 1500) of 65535, in percent, rounded
    TMixerItem* speakers = mixer->GetDefaultDevice()->FindLine(TMixerLineType::dtSpeakers, 0);
    EXPECT_FLOAT_EQ(speakers->BalanceRatio, 1.0f);
    // A loud pair does change it; one side silent gives the extreme ratios.
    SpeakersVolume().Values = {0, 40000};
    mixer->GetSpeakerVolume();
    EXPECT_FLOAT_EQ(speakers->BalanceRatio, 131071.0f);
    SpeakersVolume().Values = {40000, 0};
    mixer->GetSpeakerVolume();
    EXPECT_FLOAT_EQ(speakers->BalanceRatio, 0.0f);
    EXPECT_EQ(speakers->GetBalance(), 0);
}

TEST_F(MixerTest, WithoutBalanceAutoUpdateTheRatioStays) {
    api_.Devices = {SpeakerDevice(65535, 32768)};
    TMixer mixer(nullptr, &api_);
    mixer.Options.Include(TMixerOption::moNoBalanceAutoUpdate);
    mixer.Loaded();
    EXPECT_EQ(mixer.GetSpeakerVolume(), 100);
    EXPECT_FLOAT_EQ(mixer.GetDefaultDevice()->GetItem(0)->BalanceRatio, 1.0f);
    mixer.SetSpeakerVolume(50);
    EXPECT_EQ(WritesOf(SpeakersVolumeId).back().Values, (std::vector<std::uint32_t>{32768, 32768}));
}

TEST_F(MixerTest, SettingTheCurrentVolumeWritesNothing) {
    api_.Devices = {SpeakerDevice(32768, 32768)};
    auto mixer = Scan();
    EXPECT_EQ(mixer->GetSpeakerVolume(), 50);
    mixer->SetSpeakerVolume(50);
    EXPECT_TRUE(api_.Writes.empty());
    mixer->SetSpeakerVolume(51);
    EXPECT_EQ(WritesOf(SpeakersVolumeId).size(), 1u);
}

TEST_F(MixerTest, VolumesOutsideTheScaleAreLimited) {
    api_.Devices = {SpeakerDevice(100, 100)};
    auto mixer = Scan();
    mixer->SetSpeakerVolume(250);
    EXPECT_EQ(SpeakersVolume().Values, (std::vector<std::uint32_t>{65535, 65535}));
    mixer->SetSpeakerVolume(-7);
    EXPECT_EQ(SpeakersVolume().Values, (std::vector<std::uint32_t>{0, 0}));
    EXPECT_EQ(mixer->GetSpeakerVolume(), 0);
}

TEST_F(MixerTest, BalanceAtTheRightEndKeepsTheVolumeOnTheRightOnly) {
    api_.Devices = {SpeakerDevice(52428, 52428)};
    auto mixer = Scan();
    TMixerItem* speakers = mixer->GetDefaultDevice()->GetItem(0);
    EXPECT_EQ(speakers->GetVolume(), 80);
    speakers->SetBalance(100);
    EXPECT_EQ(SpeakersVolume().Values, (std::vector<std::uint32_t>{0, 52428}));
    EXPECT_EQ(speakers->GetBalance(), 100);
    speakers->SetBalance(0);
    EXPECT_EQ(SpeakersVolume().Values, (std::vector<std::uint32_t>{52428, 0}));
    speakers->SetBalance(25); // ratio 1/3: the left side carries the volume
    EXPECT_EQ(SpeakersVolume().Values, (std::vector<std::uint32_t>{52428, 17476}));
    EXPECT_EQ(speakers->GetBalance(), 25);
}

TEST_F(MixerTest, AMonoLineUsesOneValue) {
    api_.Devices = {SpeakerDevice(65535, 0, 1)};
    auto mixer = Scan();
    EXPECT_EQ(mixer->GetSpeakerVolume(), 100);
    mixer->SetSpeakerVolume(30);
    const auto writes = WritesOf(SpeakersVolumeId);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].Channels, 1u);
    EXPECT_EQ(writes[0].Values, (std::vector<std::uint32_t>{19660}));
    EXPECT_EQ(mixer->GetSpeakerVolume(), 30);
}

TEST_F(MixerTest, ALineOfManyChannelsKeepsTheValuesBeyondTheFirstTwo) {
    FakeDevice device = SpeakerDevice(0, 0);
    device.Destinations[0].Info.Channels = 4;
    device.Destinations[0].Controls[0].Values = {1000, 1000, 777, 888};
    api_.Devices = {device};
    auto mixer = Scan();
    mixer->SetSpeakerVolume(100);
    EXPECT_EQ(SpeakersVolume().Values, (std::vector<std::uint32_t>{65535, 65535, 777, 888}));
}

// ---- mute
// -------------------------------------------------------------------------------------------------------

TEST_F(MixerTest, MuteIsOneUniformValueWrittenOnlyWhenItChanges) {
    api_.Devices = {SpeakerDevice(65535, 65535)};
    auto mixer = Scan();
    const TMixerCtrl* mute = mixer->GetDefaultDevice()->GetItem(0)->GetMuteControl();
    ASSERT_NE(mute, nullptr);
    EXPECT_TRUE(mute->Flags.Contains(TMixerControlFlag::cfUniform)); // added by the scan
    EXPECT_FALSE(mixer->GetSpeakerMute());
    mixer->SetSpeakerMute(false);
    EXPECT_TRUE(api_.Writes.empty());
    mixer->SetSpeakerMute(true);
    ASSERT_EQ(WritesOf(SpeakersMuteId).size(), 1u);
    EXPECT_EQ(WritesOf(SpeakersMuteId)[0].Channels, 1u);
    EXPECT_TRUE(mixer->GetSpeakerMute());
    mixer->SetSpeakerMute(true);
    EXPECT_EQ(WritesOf(SpeakersMuteId).size(), 1u);
    mixer->SetSpeakerMute(false);
    EXPECT_FALSE(mixer->GetSpeakerMute());
}

// ---- detail calls
// ---------------------------------------------------------------------------------------------

TEST_F(MixerTest, AShortBufferIsRefusedAndReportedWithoutACall) {
    api_.Devices = {SpeakerDevice(65535, 32768)};
    auto mixer = Scan();
    TMixerItem* speakers = mixer->GetDefaultDevice()->GetItem(0);
    const TMixerCtrl* volume = speakers->GetVolumeControl();
    EXPECT_EQ(speakers->GetDetailCount(volume), 2);
    std::vector<std::uint32_t> shortBuffer{9};
    EXPECT_FALSE(speakers->GetUnsignedDetails(volume, shortBuffer));
    EXPECT_EQ(shortBuffer[0], 0u); // cleared by the get
    EXPECT_EQ(LastMixerError().Code, Result::InvalidParam);
    EXPECT_EQ(LastMixerError().Message, QStringLiteral("無効なパラメータです"));
    EXPECT_FALSE(speakers->SetUnsignedDetails(volume, {5}));
    EXPECT_TRUE(api_.Writes.empty());

    std::vector<std::uint32_t> buffer(2);
    EXPECT_TRUE(speakers->GetUnsignedDetails(volume, buffer));
    EXPECT_EQ(buffer, (std::vector<std::uint32_t>{65535, 32768}));
    std::vector<std::int32_t> signedBuffer(2);
    EXPECT_TRUE(speakers->GetSignedDetails(volume, signedBuffer));
    EXPECT_EQ(signedBuffer[1], 32768);
    std::vector<ListText> texts(1, ListText{1, 2, QStringLiteral("x")});
    EXPECT_FALSE(speakers->SetListTextDetails(volume, texts));
    EXPECT_TRUE(texts[0].Name.isEmpty());
}

TEST_F(MixerTest, FailedReadsGiveZeroAndFalse) {
    api_.Devices = {SpeakerDevice(65535, 65535)};
    auto mixer = Scan();
    // The device disappears under the component: every call fails.
    api_.OpenDevices.clear();
    EXPECT_EQ(mixer->GetSpeakerVolume(), 0);
    EXPECT_FALSE(mixer->GetSpeakerMute());
    EXPECT_EQ(LastMixerError().Code, Result::InvalidControl);
    EXPECT_EQ(LastMixerError().Message, QStringLiteral("無効なコントロールです"));
}

TEST(MixerErrors, UnknownCodesAreNamedByNumber) {
    EXPECT_EQ(MixerErrorMessage(Result::BadDeviceId), QStringLiteral("デバイスIDは不正です"));
    EXPECT_EQ(MixerErrorMessage(99), QStringLiteral("不明なエラー:99"));
    EXPECT_TRUE(MixerCheck(Result::NoError, true));
    EXPECT_FALSE(MixerCheck(Result::NoDriver, false));
}

TEST(MixerTypes, ComponentAndControlTypesMapAndUnknownsFallBack) {
    EXPECT_EQ(LineTypeOf(Component::DstUndefined), TMixerLineType::dtUndefined);
    EXPECT_EQ(LineTypeOf(Component::DstVoiceIn), TMixerLineType::dtVoiceIn);
    EXPECT_EQ(LineTypeOf(Component::SrcUndefined), TMixerLineType::ltUndefined);
    EXPECT_EQ(LineTypeOf(Component::SrcAnalog), TMixerLineType::ltAnalog);
    EXPECT_EQ(LineTypeOf(Component::DstVoiceIn + 1), TMixerLineType::ltUnknown);
    EXPECT_EQ(LineTypeOf(Component::SrcAnalog + 1), TMixerLineType::ltUnknown);
    EXPECT_EQ(ControlTypeOf(ControlKind::QSoundPan), TMixerControlType::ctQsoundPan);
    EXPECT_EQ(ControlTypeOf(ControlKind::Boolean + 0x2277), TMixerControlType::ctUnknown); // bass boost
    EXPECT_EQ(QString::fromUtf16(LineTypeNames[static_cast<int>(TMixerLineType::dtVoiceIn)]), u"Voice");
    EXPECT_EQ(QString::fromUtf16(ControlTypeNames[static_cast<int>(TMixerControlType::ctUnknown)]),
              u"Unknow");
}

// ---- the scan's choices
// -------------------------------------------------------------------------------------------

class MixerScan : public MixerTest {
protected:
    void SetUp() override {
        FakeDevice device;
        device.Caps.Name = QStringLiteral("A long device name that goes beyond thirty-one characters");
        device.Caps.Destinations = 2;
        // Destination 0: speakers with four sources.
        device.Destinations.push_back(
            Line(10, Component::DstSpeakers, 2, {Volume(11, {100, 100}), Mute(12, 2, false)}, "Master"));
        device.Sources.push_back({
            Line(20, Component::SrcWaveOut, 2, {Volume(21, {5, 5})}, "PCM"),
            Line(30, Component::SrcLine, 2, {}, "Line"),                     // no controls
            Line(40, Component::SrcMicrophone, 1, {Volume(41, {7})}, "Mic"), // type not wanted
            Line(50, Component::SrcCompactDisc, 2, {FakeControl{}}, "CD"),   // only a custom control
        });
        device.Sources[0][3].Controls[0].Info.ControlId = 51;
        device.Sources[0][3].Controls[0].Info.ControlType = ControlKind::Bass;
        // Destination 1: recording, no controls of its own, one source without controls.
        device.Destinations.push_back(Line(60, Component::DstWaveIn, 2, {}, "Capture"));
        device.Sources.push_back({Line(70, Component::SrcLine, 2, {}, "Line In")});
        for (std::size_t d = 0; d < device.Destinations.size(); ++d)
            device.Destinations[d].Info.Connections = static_cast<std::uint32_t>(device.Sources[d].size());
        api_.Devices = {device};
    }
    std::vector<std::uint32_t> LineIds(const TMixer& mixer) const {
        std::vector<std::uint32_t> ids;
        const TMixerDev* device = mixer.GetDefaultDevice();
        for (int i = 0; i < device->GetCount(); ++i)
            ids.push_back(device->GetItem(i)->LineID);
        return ids;
    }
};

TEST_F(MixerScan, KeepsOnlyWantedLinesThatHaveWantedControls) {
    auto mixer = Scan();
    // Line (no controls), Mic (not in the target), CD (bass is no wanted control) and the recording
    // destination with nothing left are gone.
    EXPECT_EQ(LineIds(*mixer), (std::vector<std::uint32_t>{10, 20}));
    const TMixerDev* device = mixer->GetDefaultDevice();
    EXPECT_EQ(device->Name.size(), 31);
    const TMixerItem* pcm = device->FindItemByLineID(20);
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(pcm->Destination, device->FindItemByLineID(10));
    EXPECT_EQ(pcm->GetDestinationType(), TMixerLineType::dtSpeakers);
    EXPECT_EQ(pcm->LineType, TMixerLineType::ltWaveOut);
    EXPECT_FALSE(pcm->IsDestination());
    EXPECT_EQ(pcm->GetMuteControl(), nullptr);
    EXPECT_EQ(device->FindItemByControlID(12), device->FindItemByLineID(10));
    EXPECT_EQ(device->FindLine(TMixerLineType::ltWaveOut, 2), nullptr);
}

TEST_F(MixerScan, EnableInvalidItemKeepsLinesWithoutControls) {
    TMixer mixer(nullptr, &api_);
    mixer.EnableInvalidItem = true;
    mixer.Loaded();
    EXPECT_EQ(LineIds(mixer), (std::vector<std::uint32_t>{10, 20, 30, 50, 60, 70}));
    EXPECT_FALSE(mixer.GetDefaultDevice()->FindItemByLineID(50)->HasControls());
}

TEST_F(MixerScan, ADestinationWithoutControlsStaysWhileOneOfItsSourcesDoes) {
    api_.Devices[0].Sources[1][0].Controls.push_back(Mute(71, 2, false));
    api_.Devices[0].Sources[1][0].Info.Controls = 1;
    auto mixer = Scan();
    EXPECT_EQ(LineIds(*mixer), (std::vector<std::uint32_t>{10, 20, 60, 70}));
    EXPECT_TRUE(mixer->GetDefaultDevice()->FindItemByLineID(60)->IsDestination());
}

TEST_F(MixerScan, TheTargetChoosesLinesAndControls) {
    TMixer mixer(nullptr, &api_);
    mixer.Target.LineType.Include(TMixerLineType::ltMicrophone);
    mixer.Target.ControlType.Exclude(TMixerControlType::ctMute);
    mixer.Target.ControlType.Include(TMixerControlType::ctBass);
    mixer.Loaded();
    EXPECT_EQ(LineIds(mixer), (std::vector<std::uint32_t>{10, 20, 40, 50}));
    EXPECT_EQ(mixer.GetSpeakerVolume(), 0);
    EXPECT_FALSE(mixer.GetSpeakerMute()); // the mute control was not kept
    mixer.Target.LineType.Exclude(TMixerLineType::dtSpeakers);
    mixer.Scan();
    EXPECT_EQ(mixer.GetSpeakerVolume(), -1);
}

TEST_F(MixerScan, ALineWhoseControlsCannotBeReadStaysWithout) {
    api_.Devices[0].Sources[0][0].FailControls = true;
    auto mixer = Scan();
    TMixerItem* pcm = mixer->GetDefaultDevice()->FindItemByLineID(20);
    ASSERT_NE(pcm, nullptr);
    EXPECT_FALSE(pcm->HasControls());
    EXPECT_EQ(pcm->GetVolume(), -1);
}

TEST_F(MixerScan, OptionsLeaveNamesAndBoundsOut) {
    TMixer mixer(nullptr, &api_);
    mixer.Options = {TMixerOption::moNoDeviceName, TMixerOption::moNoLineName, TMixerOption::moNoControlName,
                     TMixerOption::moNoControlBounds};
    mixer.Loaded();
    const TMixerDev* device = mixer.GetDefaultDevice();
    EXPECT_TRUE(device->Name.isEmpty());
    EXPECT_TRUE(device->GetItem(0)->Name.isEmpty());
    EXPECT_EQ(device->GetItem(0)->ShortName, QStringLiteral("Master"));
    const TMixerCtrl* volume = device->GetItem(0)->GetVolumeControl();
    EXPECT_TRUE(volume->Name.isEmpty());
    EXPECT_FALSE(volume->Bounds.has_value());
    EXPECT_TRUE(volume->Metrics.has_value());
}

TEST_F(MixerScan, RescanningAndDestroyingCloseEveryHandle) {
    auto mixer = Scan();
    const Handle first = mixer->GetDefaultDevice()->Handle;
    mixer->Scan();
    EXPECT_EQ(api_.Closed, (std::vector<Handle>{first}));
    const Handle second = mixer->GetDefaultDevice()->Handle;
    mixer.reset();
    EXPECT_EQ(api_.Closed, (std::vector<Handle>{first, second}));
    EXPECT_TRUE(api_.OpenDevices.empty());
}

TEST_F(MixerScan, ChangesReachTheHandlersWithTheirItemAndControl) {
    auto mixer = Scan();
    const Handle handle = mixer->GetDefaultDevice()->Handle;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> controls;
    std::vector<std::uint32_t> lines;
    mixer->DoControlChange(handle, 12); // no handler yet: nothing
    mixer->OnControlChange = [&](TMixer*, TMixerDev*, TMixerItem* item, TMixerCtrl* control) {
        controls.emplace_back(item->LineID, control->ControlID);
    };
    mixer->OnLineChange = [&](TMixer*, TMixerDev*, TMixerItem* item) { lines.push_back(item->LineID); };
    mixer->DoControlChange(handle, 12);
    mixer->DoControlChange(handle, 41);     // a control of a dropped line
    mixer->DoControlChange(handle + 1, 11); // another device
    mixer->DoLineChange(handle, 20);
    mixer->DoLineChange(handle, 30);
    EXPECT_EQ(controls, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{10, 12}}));
    EXPECT_EQ(lines, (std::vector<std::uint32_t>{20}));
}

// ---- ALSA
// ------------------------------------------------------------------------------------------------------

// Points ALSA at a configuration of its own for the life of the object and makes it read it afresh.
class AlsaConfig {
public:
    explicit AlsaConfig(const QString& path) {
        qputenv("ALSA_CONFIG_PATH", path.toLocal8Bit());
        snd_config_update_free_global();
    }
    AlsaConfig() { snd_config_update_free_global(); }
    ~AlsaConfig() {
        qunsetenv("ALSA_CONFIG_PATH");
        snd_config_update_free_global();
    }
};

TEST(AlsaMixer, AMachineWithoutSoundHasNoDeviceAndSaysNothing) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString empty = folder.filePath(QStringLiteral("empty.conf"));
    QFile file(empty);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    AlsaConfig config(empty);
    TMixer mixer;
    mixer.Loaded();
    EXPECT_EQ(mixer.GetDeviceCount(), 0);
    EXPECT_EQ(mixer.GetSpeakerVolume(), -1);
    EXPECT_FALSE(mixer.GetSpeakerMute());
    mixer.SetSpeakerVolume(10);
    mixer.SetSpeakerMute(true);
    AlsaMixerApi api;
    EXPECT_GE(api.DeviceCount(), 1); // "default" is always asked for
    DeviceCaps caps;
    EXPECT_NE(api.GetDeviceCaps(0, caps), Result::NoError);
    Handle handle = 7;
    EXPECT_NE(api.OpenDevice(0, handle), Result::NoError);
    EXPECT_EQ(handle, 0);
    std::vector<std::uint32_t> values(2);
    EXPECT_EQ(api.GetValues(1, 0, 2, 0, values), Result::InvalidHandle);
}

// A PulseAudio server of this test's own with a silent output, in the test's private runtime folder.
class PrivatePulseAudio {
public:
    bool Start() {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (program.isEmpty() || runtime.isEmpty()) return false;
        process_.setProgram(program);
        process_.setArguments({QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                               QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
                               QStringLiteral("--use-pid-file=no"),
                               QStringLiteral("--load=module-null-sink sink_name=lorvex_test"),
                               QStringLiteral("--load=module-native-protocol-unix")});
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice()); // it warns about running as root
        process_.start();
        if (!process_.waitForStarted(5000)) return false;
        const QString socket = QDir(runtime).filePath(QStringLiteral("pulse/native"));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            if (process_.state() != QProcess::Running) return false;
            if (QFileInfo::exists(socket)) {
                QThread::msleep(300); // the modules after the socket
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }
    ~PrivatePulseAudio() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }

private:
    QProcess process_;
};

TEST(AlsaMixer, TheMasterVolumeAndMuteOfAPulseAudioServerFollowTheComponent) {
    PrivatePulseAudio server;
    if (!server.Start()) GTEST_SKIP() << "no PulseAudio server could be started here";
    AlsaConfig config; // read afresh: the configuration chooses PulseAudio only while it runs
    TMixer mixer;
    mixer.Loaded();
    if (mixer.GetSpeakerVolume() < 0) GTEST_SKIP() << "ALSA does not reach the PulseAudio server";
    TMixerItem* master = mixer.GetDefaultDevice()->FindLine(TMixerLineType::dtSpeakers, 0);
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(master->Name, QStringLiteral("Master"));
    mixer.SetSpeakerVolume(30);
    EXPECT_EQ(mixer.GetSpeakerVolume(), 30);
    mixer.SetSpeakerVolume(0);
    EXPECT_EQ(mixer.GetSpeakerVolume(), 0);
    mixer.SetSpeakerVolume(100);
    EXPECT_EQ(mixer.GetSpeakerVolume(), 100);
    mixer.SetSpeakerMute(true);
    EXPECT_TRUE(mixer.GetSpeakerMute());
    mixer.SetSpeakerMute(false);
    EXPECT_FALSE(mixer.GetSpeakerMute());

    // A second component sees what the first one set.
    TMixer other;
    other.Loaded();
    mixer.SetSpeakerVolume(45);
    QElapsedTimer clock;
    clock.start();
    while (other.GetSpeakerVolume() != 45 && clock.elapsed() < 3000)
        QThread::msleep(20); // the server tells it
    EXPECT_EQ(other.GetSpeakerVolume(), 45);

    // A change made elsewhere arrives through the event loop as a control change of the master line.
    int changes = 0;
    mixer.OnControlChange = [&](TMixer*, TMixerDev*, TMixerItem* item, TMixerCtrl*) {
        if (item == master) ++changes;
    };
    other.SetSpeakerVolume(60);
    PumpUntil([&changes] { return changes > 0; }, 3000);
    EXPECT_GT(changes, 0);
}

} // namespace
