// The sound mixer as the audio-mixer component sees it: devices with destination lines (speakers,
// recording), their source lines and each line's volume (0..65535) and mute controls. MixerDeviceApi
// is that interface; AlsaMixerApi serves it from ALSA's simple mixer ("Master" is the speakers line).
// A machine without a sound card simply has no devices: nothing fails loudly, nothing is printed.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace MixerApi {

// Result codes of every call: 0 is success.
namespace Result {
inline constexpr int NoError = 0;
inline constexpr int Error = 1; // unspecified failure
inline constexpr int BadDeviceId = 2;
inline constexpr int InvalidHandle = 5;
inline constexpr int NoDriver = 6;
inline constexpr int NoMemory = 7;
inline constexpr int InvalidFlag = 10;
inline constexpr int InvalidParam = 11;
inline constexpr int InvalidLine = 1024;
inline constexpr int InvalidControl = 1025;
} // namespace Result

// Line component types: destinations count from 0, sources from 0x1000, each in its fixed order.
namespace Component {
inline constexpr std::uint32_t DstUndefined = 0;
inline constexpr std::uint32_t DstDigital = 1;
inline constexpr std::uint32_t DstLine = 2;
inline constexpr std::uint32_t DstMonitor = 3;
inline constexpr std::uint32_t DstSpeakers = 4;
inline constexpr std::uint32_t DstHeadphones = 5;
inline constexpr std::uint32_t DstTelephone = 6;
inline constexpr std::uint32_t DstWaveIn = 7;
inline constexpr std::uint32_t DstVoiceIn = 8;
inline constexpr std::uint32_t DstLast = DstVoiceIn;
inline constexpr std::uint32_t SrcUndefined = 0x1000;
inline constexpr std::uint32_t SrcDigital = 0x1001;
inline constexpr std::uint32_t SrcLine = 0x1002;
inline constexpr std::uint32_t SrcMicrophone = 0x1003;
inline constexpr std::uint32_t SrcSynthesizer = 0x1004;
inline constexpr std::uint32_t SrcCompactDisc = 0x1005;
inline constexpr std::uint32_t SrcTelephone = 0x1006;
inline constexpr std::uint32_t SrcPcSpeaker = 0x1007;
inline constexpr std::uint32_t SrcWaveOut = 0x1008;
inline constexpr std::uint32_t SrcAuxiliary = 0x1009;
inline constexpr std::uint32_t SrcAnalog = 0x100A;
inline constexpr std::uint32_t SrcLast = SrcAnalog;
} // namespace Component

// What a destination line feeds.
namespace Target {
inline constexpr std::uint32_t Undefined = 0;
inline constexpr std::uint32_t WaveOut = 1;
inline constexpr std::uint32_t WaveIn = 2;
} // namespace Target

// Control types: a class in the top four bits, a subclass, the units, and a number within them.
namespace ControlKind {
inline constexpr std::uint32_t Custom = 0x00000000;
inline constexpr std::uint32_t BooleanMeter = 0x10010000;
inline constexpr std::uint32_t SignedMeter = 0x10020000;
inline constexpr std::uint32_t PeakMeter = 0x10020001;
inline constexpr std::uint32_t UnsignedMeter = 0x10030000;
inline constexpr std::uint32_t Boolean = 0x20010000;
inline constexpr std::uint32_t OnOff = 0x20010001;
inline constexpr std::uint32_t Mute = 0x20010002;
inline constexpr std::uint32_t Mono = 0x20010003;
inline constexpr std::uint32_t Loudness = 0x20010004;
inline constexpr std::uint32_t StereoEnh = 0x20010005;
inline constexpr std::uint32_t Button = 0x21010000;
inline constexpr std::uint32_t Decibels = 0x30040000;
inline constexpr std::uint32_t Signed = 0x30020000;
inline constexpr std::uint32_t Unsigned = 0x30030000;
inline constexpr std::uint32_t Percent = 0x30050000;
inline constexpr std::uint32_t Slider = 0x40020000;
inline constexpr std::uint32_t Pan = 0x40020001;
inline constexpr std::uint32_t QSoundPan = 0x40020002;
inline constexpr std::uint32_t Fader = 0x50030000;
inline constexpr std::uint32_t Volume = 0x50030001;
inline constexpr std::uint32_t Bass = 0x50030002;
inline constexpr std::uint32_t Treble = 0x50030003;
inline constexpr std::uint32_t Equalizer = 0x50030004;
inline constexpr std::uint32_t MicroTime = 0x60030000;
inline constexpr std::uint32_t MilliTime = 0x61030000;
inline constexpr std::uint32_t SingleSelect = 0x70010000;
inline constexpr std::uint32_t Mux = 0x70010001;
inline constexpr std::uint32_t MultipleSelect = 0x71010000;
inline constexpr std::uint32_t Mixer = 0x71010001;
} // namespace ControlKind

// Control flags.
namespace ControlFlag {
inline constexpr std::uint32_t Uniform = 0x1;  // one value serves every channel
inline constexpr std::uint32_t Multiple = 0x2; // the control has several items
inline constexpr std::uint32_t Disabled = 0x80000000;
} // namespace ControlFlag

// The full scale of a volume control.
inline constexpr std::uint32_t VolumeMaximum = 65535;

using Handle = int; // an open device; 0 is none

struct DeviceCaps {
    QString Name;
    std::uint16_t ManufacturerId = 0;
    std::uint16_t ProductId = 0;
    std::uint32_t DriverVersion = 0;
    std::uint32_t Destinations = 0;
};

struct LineInfo {
    std::uint32_t Destination = 0;
    std::uint32_t Source = 0;
    std::uint32_t LineId = 0;
    std::uint32_t ComponentType = Component::DstUndefined;
    std::uint32_t Channels = 0;
    std::uint32_t Connections = 0; // sources of a destination line
    std::uint32_t Controls = 0;
    QString ShortName;
    QString Name;
    std::uint32_t TargetType = Target::Undefined;
    QString TargetName;
};

struct ControlInfo {
    std::uint32_t ControlId = 0;
    std::uint32_t ControlType = ControlKind::Custom;
    std::uint32_t Flags = 0;
    std::uint32_t MultipleItems = 0;
    QString ShortName;
    QString Name;
    std::array<std::int32_t, 6> Bounds{};  // minimum and maximum first
    std::array<std::int32_t, 6> Metrics{}; // the number of steps first
};

// One entry of a list control's item texts.
struct ListText {
    std::uint32_t Param1 = 0;
    std::uint32_t Param2 = 0;
    QString Name;
};

// Something changed on an open device: a control's value, or a line (added, removed, switched).
struct Change {
    bool Line = false; // true: Id is a line id; false: a control id
    std::uint32_t Id = 0;
};

} // namespace MixerApi

// The mixer interface. Every call answers with a MixerApi::Result code.
class MixerDeviceApi {
public:
    virtual ~MixerDeviceApi() = default;

    virtual int DeviceCount() = 0;
    virtual int GetDeviceCaps(int device, MixerApi::DeviceCaps& caps) = 0;
    virtual int OpenDevice(int device, MixerApi::Handle& handle) = 0;
    virtual int CloseDevice(MixerApi::Handle handle) = 0;

    // The destination line `destination`, or its source `source`.
    virtual int GetDestinationLine(MixerApi::Handle handle, std::uint32_t destination,
                                   MixerApi::LineInfo& line) = 0;
    virtual int GetSourceLine(MixerApi::Handle handle, std::uint32_t destination, std::uint32_t source,
                              MixerApi::LineInfo& line) = 0;
    // All controls of a line.
    virtual int GetLineControls(MixerApi::Handle handle, std::uint32_t lineId,
                                std::vector<MixerApi::ControlInfo>& controls) = 0;

    // The values of a control: `channels` values (one for a uniform read), times `items` for a control
    // with several items. `values` must hold that many; a get fills them, a set writes them.
    virtual int GetValues(MixerApi::Handle handle, std::uint32_t controlId, std::uint32_t channels,
                          std::uint32_t items, std::vector<std::uint32_t>& values) = 0;
    virtual int SetValues(MixerApi::Handle handle, std::uint32_t controlId, std::uint32_t channels,
                          std::uint32_t items, const std::vector<std::uint32_t>& values) = 0;
    virtual int GetListTexts(MixerApi::Handle handle, std::uint32_t controlId, std::uint32_t channels,
                             std::uint32_t items, std::vector<MixerApi::ListText>& texts) = 0;

    // Change notification: descriptors to watch for reading, and the changes gathered since the last call.
    virtual std::vector<int> EventDescriptors(MixerApi::Handle handle) = 0;
    virtual std::vector<MixerApi::Change> TakeChanges(MixerApi::Handle handle) = 0;
};

// The system's mixers through ALSA: the "default" mixer first (what the desktop's volume control
// drives; PulseAudio when it runs), then every sound card. A mixer counts as a device when it has a
// "Master" or a "Capture" element.
class AlsaMixerApi : public MixerDeviceApi {
public:
    AlsaMixerApi();
    ~AlsaMixerApi() override;
    AlsaMixerApi(const AlsaMixerApi&) = delete;
    AlsaMixerApi& operator=(const AlsaMixerApi&) = delete;

    int DeviceCount() override;
    int GetDeviceCaps(int device, MixerApi::DeviceCaps& caps) override;
    int OpenDevice(int device, MixerApi::Handle& handle) override;
    int CloseDevice(MixerApi::Handle handle) override;
    int GetDestinationLine(MixerApi::Handle handle, std::uint32_t destination,
                           MixerApi::LineInfo& line) override;
    int GetSourceLine(MixerApi::Handle handle, std::uint32_t destination, std::uint32_t source,
                      MixerApi::LineInfo& line) override;
    int GetLineControls(MixerApi::Handle handle, std::uint32_t lineId,
                        std::vector<MixerApi::ControlInfo>& controls) override;
    int GetValues(MixerApi::Handle handle, std::uint32_t controlId, std::uint32_t channels,
                  std::uint32_t items, std::vector<std::uint32_t>& values) override;
    int SetValues(MixerApi::Handle handle, std::uint32_t controlId, std::uint32_t channels,
                  std::uint32_t items, const std::vector<std::uint32_t>& values) override;
    int GetListTexts(MixerApi::Handle handle, std::uint32_t controlId, std::uint32_t channels,
                     std::uint32_t items, std::vector<MixerApi::ListText>& texts) override;
    std::vector<int> EventDescriptors(MixerApi::Handle handle) override;
    std::vector<MixerApi::Change> TakeChanges(MixerApi::Handle handle) override;

    struct OpenMixer; // one open ALSA mixer and the lines it shows

private:
    OpenMixer* Find(MixerApi::Handle handle);

    std::vector<QString> deviceNames_; // ALSA mixer names, refreshed by DeviceCount
    std::map<MixerApi::Handle, std::unique_ptr<OpenMixer>> open_;
    MixerApi::Handle nextHandle_ = 1;
};
