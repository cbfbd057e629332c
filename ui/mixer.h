// The audio-mixer component: a scan builds the tree of mixer devices, their lines and the lines'
// controls that its Target names. Each line offers a volume of 0 to 100 that keeps a remembered
// left/right balance, and a mute switch; the speaker operations act on the first device's speakers.
// No operation raises: without a device the speaker reads as -1 (volume) and false (mute).
#pragma once

#include "platform/alsamixer.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

enum class TMixerLineType : std::uint8_t {
    ltUndefined,
    ltDigital,
    ltLine,
    ltMicrophone,
    ltSynthesizer,
    ltCompactDisk,
    ltTelephone,
    ltPcSpeaker,
    ltWaveOut,
    ltAuxiliary,
    ltAnalog,
    ltUnknown,
    dtUndefined,
    dtDigital,
    dtLine,
    dtMonitor,
    dtSpeakers,
    dtHeadphones,
    dtTelephone,
    dtWaveIn,
    dtVoiceIn
};
inline constexpr int MixerLineTypeCount = 21;

enum class TMixerControlType : std::uint8_t {
    ctCustom,
    ctBass,
    ctEqualizer,
    ctFader,
    ctTreble,
    ctVolume,
    ctMixer,
    ctMultipleSelect,
    ctMux,
    ctSingleSelect,
    ctBooleanMeter,
    ctPeakMeter,
    ctSignedMeter,
    ctUnsignedMeter,
    ctDecibels,
    ctPercent,
    ctSigned,
    ctUnsigned,
    ctPan,
    ctQsoundPan,
    ctSlider,
    ctBoolean,
    ctButton,
    ctLoudness,
    ctMono,
    ctMute,
    ctOnOff,
    ctStereoEnh,
    ctMicroTime,
    ctMilliTime,
    ctUnknown
};
inline constexpr int MixerControlTypeCount = 31;

enum class TMixerOption : std::uint8_t {
    moNoDeviceName,
    moNoLineName,
    moNoLineShortName,
    moNoControlName,
    moNoControlShortName,
    moNoTargetName,
    moNoControlBounds,
    moNoControlMetrics,
    moNoBalanceAutoUpdate
};

enum class TMixerControlFlag : std::uint8_t { cfDisabled, cfMultiple, cfUniform };

// A set of enumeration values.
template <typename E> class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> values) {
        for (const E value : values)
            Include(value);
    }
    constexpr bool Contains(E value) const { return (bits_ & Bit(value)) != 0; }
    constexpr void Include(E value) { bits_ |= Bit(value); }
    constexpr void Exclude(E value) { bits_ &= ~Bit(value); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TEnumSet&) const = default;

private:
    static constexpr std::uint64_t Bit(E value) { return std::uint64_t{1} << static_cast<unsigned>(value); }
    std::uint64_t bits_ = 0;
};
using TMixerLineTypes = TEnumSet<TMixerLineType>;
using TMixerControlTypes = TEnumSet<TMixerControlType>;
using TMixerOptions = TEnumSet<TMixerOption>;
using TMixerControlFlags = TEnumSet<TMixerControlFlag>;

// The line type of a line's component type; the control type of a control's type word.
TMixerLineType LineTypeOf(std::uint32_t componentType);
TMixerControlType ControlTypeOf(std::uint32_t controlType);

// Display names, in enumeration order.
extern const std::array<const char16_t*, MixerLineTypeCount> LineTypeNames;
extern const std::array<const char16_t*, MixerControlTypeCount> ControlTypeNames;

// Which lines and controls a scan keeps.
struct TMixerTarget {
    TMixerLineTypes LineType{TMixerLineType::ltLine,        TMixerLineType::ltSynthesizer,
                             TMixerLineType::ltCompactDisk, TMixerLineType::ltWaveOut,
                             TMixerLineType::dtSpeakers,    TMixerLineType::dtWaveIn};
    TMixerControlTypes ControlType{TMixerControlType::ctVolume, TMixerControlType::ctMute};
};

// A failed mixer call as a report: its message and result code.
struct EMixerError {
    QString Message;
    int Code = 0;
    static EMixerError CreateCode(const QString& message, int code) { return EMixerError{message, code}; }
};
// The message of a result code.
QString MixerErrorMessage(int code);
// True when `result` is success. With `report`, a failure is kept as the last error (nothing raises:
// every caller acts on the answer alone).
bool MixerCheck(int result, bool report);
const EMixerError& LastMixerError();

class TMixer;
class TMixerDev;
class TMixerItem;

// One control of a line.
class TMixerCtrl {
public:
    TMixerCtrl(const MixerApi::ControlInfo& info, TMixerOptions options);
    virtual ~TMixerCtrl() = default;

    virtual int GetTag() const { return Tag; }
    virtual void SetTag(int tag) { Tag = tag; }

    std::uint32_t ControlID = 0;
    TMixerControlType ControlType = TMixerControlType::ctUnknown;
    TMixerControlFlags Flags;
    std::uint32_t MultipleItems = 0;
    int Tag = 0;
    QString Name;                                       // empty under moNoControlName
    QString ShortName;                                  // empty under moNoControlShortName
    std::optional<std::array<std::int32_t, 6>> Bounds;  // absent under moNoControlBounds
    std::optional<std::array<std::int32_t, 6>> Metrics; // absent under moNoControlMetrics
};

// One line of a device: a destination or one of its sources.
class TMixerItem {
public:
    TMixerItem(TMixerDev* device, const MixerApi::LineInfo& line, TMixerItem* destination,
               TMixerOptions options, int destinationIndex);
    virtual ~TMixerItem() = default;
    TMixerItem(const TMixerItem&) = delete;
    TMixerItem& operator=(const TMixerItem&) = delete;

    virtual int GetTag() const { return Tag; }
    virtual void SetTag(int tag) { Tag = tag; }
    // The line type of its destination line; its own for a destination line.
    virtual TMixerLineType GetDestinationType() const;
    // The volume control's left and right values ((0, 0) without one).
    virtual void GetValue(std::uint32_t& left, std::uint32_t& right);
    virtual void SetValue(std::uint32_t left, std::uint32_t right);
    // 0 to 100 (-1 without a volume control); setting keeps the balance.
    virtual int GetVolume();
    virtual void SetVolume(int volume);
    virtual bool GetMute();
    virtual void SetMute(bool mute);
    // 0 (left only) to 100 (right only), 50 in the middle.
    virtual int GetBalance() const;
    virtual void SetBalance(int balance);
    // How many values a detail call of `control` moves.
    virtual int GetDetailCount(const TMixerCtrl* control) const;
    // Detail calls: `buffer` must hold GetDetailCount values, else nothing happens and false is
    // answered. A get clears the buffer first, so a failed read leaves zeros.
    virtual bool GetBooleanDetails(const TMixerCtrl* control, std::vector<std::uint32_t>& buffer);
    virtual bool SetBooleanDetails(const TMixerCtrl* control, const std::vector<std::uint32_t>& buffer);
    virtual bool GetSignedDetails(const TMixerCtrl* control, std::vector<std::int32_t>& buffer);
    virtual bool SetSignedDetails(const TMixerCtrl* control, const std::vector<std::int32_t>& buffer);
    virtual bool GetUnsignedDetails(const TMixerCtrl* control, std::vector<std::uint32_t>& buffer);
    virtual bool SetUnsignedDetails(const TMixerCtrl* control, const std::vector<std::uint32_t>& buffer);
    virtual bool GetListTextDetails(const TMixerCtrl* control, std::vector<MixerApi::ListText>& buffer);
    // Item texts cannot be written: the buffer is only cleared.
    virtual bool SetListTextDetails(const TMixerCtrl* control, std::vector<MixerApi::ListText>& buffer);

    // Adds a control made by the mixer's CreateCtrl.
    virtual TMixerCtrl* AddControl(const MixerApi::ControlInfo& info, TMixerOptions options);

    bool IsDestination() const { return Destination == nullptr; }
    bool HasControls() const { return !Controls.empty(); }
    int GetControlCount() const { return static_cast<int>(Controls.size()); }
    TMixerCtrl* GetControl(int index) const;
    int IndexOfControlID(std::uint32_t controlId) const;
    TMixerCtrl* GetVolumeControl() const { return GetControl(VolumeControlIndex); }
    TMixerCtrl* GetMuteControl() const { return GetControl(MuteControlIndex); }
    TMixerDev* GetDevice() const { return Device; }

    TMixerDev* Device = nullptr;
    std::vector<std::unique_ptr<TMixerCtrl>> Controls;
    int MuteControlIndex = -1;
    std::uint8_t Channels = 0;
    std::uint32_t LineID = 0;
    TMixerLineType LineType = TMixerLineType::ltUnknown;
    TMixerItem* Destination = nullptr; // null for a destination line
    int DestinationIndex = 0;
    QString Name;      // empty under moNoLineName
    QString ShortName; // empty under moNoLineShortName
    std::uint32_t TargetType = 0;
    QString TargetName; // empty under moNoTargetName
    int VolumeControlIndex = -1;
    float BalanceRatio = 1.0f; // right / left
    int Tag = 0;

private:
    bool CallDetails(const TMixerCtrl* control, std::size_t bufferSize, bool set,
                     std::vector<std::uint32_t>& values);
    MixerDeviceApi* Api() const;
    TMixerOptions MixerOptions() const;
};

// One open mixer device.
class TMixerDev {
public:
    TMixerDev(TMixer* mixer, MixerApi::Handle handle, const MixerApi::DeviceCaps& caps,
              TMixerOptions options);
    virtual ~TMixerDev(); // closes the device
    TMixerDev(const TMixerDev&) = delete;
    TMixerDev& operator=(const TMixerDev&) = delete;

    virtual TMixerItem* GetItem(int index) const;
    virtual int GetCount() const { return static_cast<int>(Items.size()); }
    virtual int GetTag() const { return Tag; }
    virtual void SetTag(int tag) { Tag = tag; }

    // The first item at `start` or later whose line type is `type` (null when none).
    TMixerItem* FindLine(TMixerLineType type, int start) const;
    // A new item made by the mixer's CreateItem, appended.
    TMixerItem* AddLine(const MixerApi::LineInfo& line, TMixerItem* destination, TMixerOptions options,
                        int destinationIndex);
    // Removes and destroys an item.
    void RemoveItem(TMixerItem* item);
    TMixerItem* FindItemByControlID(std::uint32_t controlId) const;
    TMixerItem* FindItemByLineID(std::uint32_t lineId) const;

    TMixer* Mixer = nullptr;
    QString Name; // empty under moNoDeviceName
    MixerApi::Handle Handle = 0;
    std::vector<std::unique_ptr<TMixerItem>> Items;
    std::uint16_t ManufacturerId = 0;
    std::uint16_t ProductId = 0;
    std::uint32_t DriverVersion = 0;
    int Tag = 0;
};

// The component.
class TMixer : public QObject {
public:
    // `api` null: the system's mixers (ALSA). A given api must outlive the component.
    explicit TMixer(QObject* owner = nullptr, MixerDeviceApi* api = nullptr);
    ~TMixer() override;

    bool AutoScan = true;
    bool EnableInvalidItem = false;
    TMixerTarget Target;
    TMixerOptions Options;
    std::function<void(TMixer*, TMixerDev*, TMixerItem*, TMixerCtrl*)> OnControlChange;
    std::function<void(TMixer*, TMixerDev*, TMixerItem*)> OnLineChange;

    // After the owner has set the properties: scans when AutoScan is set.
    virtual void Loaded();
    void Scan();
    void ClearDevices();
    virtual int GetDeviceCount() const { return static_cast<int>(devices_.size()); }
    virtual TMixerDev* GetDevice(int index) const;
    virtual TMixerDev* GetDefaultDevice() const { return GetDevice(0); }
    TMixerDev* FindDevice(MixerApi::Handle handle) const;

    // The speakers line of the default device.
    int GetSpeakerVolume(); // 0..100, -1 without the line or its volume control
    void SetSpeakerVolume(int volume);
    bool GetSpeakerMute(); // false without the line or its mute control
    void SetSpeakerMute(bool mute);

    void DoLineChange(MixerApi::Handle handle, std::uint32_t lineId);
    void DoControlChange(MixerApi::Handle handle, std::uint32_t controlId);

    MixerDeviceApi* Api() const { return api_; }

    // Factories that a descendant may replace.
    virtual std::unique_ptr<TMixerItem> CreateItem(TMixerDev* device, const MixerApi::LineInfo& line,
                                                   TMixerItem* destination, TMixerOptions options,
                                                   int destinationIndex);
    virtual std::unique_ptr<TMixerDev> CreateDev(MixerApi::Handle handle, const MixerApi::DeviceCaps& caps,
                                                 TMixerOptions options);
    virtual std::unique_ptr<TMixerCtrl> CreateCtrl(const MixerApi::ControlInfo& info, TMixerOptions options);

protected:
    virtual TMixerDev* AddDevice(MixerApi::Handle handle, const MixerApi::DeviceCaps& caps,
                                 TMixerOptions options);

private:
    TMixerItem* SpeakerItem() const;
    void ScanDevice(TMixerDev* device, std::uint32_t destinations);
    void WatchDevice(MixerApi::Handle handle);
    void DeviceEvents(MixerApi::Handle handle);

    std::unique_ptr<MixerDeviceApi> ownApi_;
    MixerDeviceApi* api_ = nullptr;
    std::vector<std::unique_ptr<TMixerDev>> devices_;
    std::vector<QSocketNotifier*> notifiers_;
};
