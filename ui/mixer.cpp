// The audio-mixer component: the devices, lines and controls of the mixer interface, their volume,
// balance and mute switch, and the speaker line the media-player window serves programs with.
#include "ui/mixer.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cmath>

using namespace MixerApi;

namespace {

// The field lengths of the names a line or control record carries (without the terminator).
constexpr int DeviceNameLength = 31;
constexpr int LineNameLength = 63;
constexpr int LineShortNameLength = 15;
constexpr int TargetNameLength = 31;
constexpr int ControlNameLength = 63;
constexpr int ControlShortNameLength = 15;

// The balance arithmetic.
constexpr double FullScale = VolumeMaximum; // 65535
constexpr double PercentScale = 100.0;
constexpr float RightOnlyRatio = 131071.0f;          // the ratio that stands for "right only"
constexpr std::uint32_t BalanceEstimateFloor = 3000; // below this sum the pair tells no balance
constexpr double RatioTolerance = 0.001;

EMixerError LastError;

// x rounded to the nearest integer, halves to the even neighbour.
double Nearest(double x) {
    const double down = std::floor(x);
    const double rest = x - down;
    if (rest > 0.5) return down + 1;
    if (rest < 0.5) return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

std::uint32_t NearestValue(double x) {
    return static_cast<std::uint32_t>(std::clamp(Nearest(x), 0.0, FullScale));
}

// The ratio right / left that a pair shows, or `current` when it shows none.
float EstimateBalance(std::uint32_t left, std::uint32_t right, int channels, float current) {
    if (channels <= 1 || left + right < BalanceEstimateFloor) return current;
    if (left == 0) return RightOnlyRatio;
    if (right == 0) return 0.0f;
    return static_cast<float>(static_cast<double>(right) / static_cast<double>(left));
}

// The pair for a volume of 0 to 100 with the given ratio.
void VolumeToPair(int volume, float ratio, int channels, std::uint32_t& left, std::uint32_t& right) {
    const std::uint32_t v = NearestValue(volume / PercentScale * FullScale);
    if (channels <= 1) {
        left = v;
        right = 0;
    } else if (v == 0) {
        left = right = 0;
    } else if (ratio > 1.0f) {
        left = NearestValue(v / static_cast<double>(ratio));
        right = v;
    } else {
        left = v;
        right = NearestValue(v * static_cast<double>(ratio));
    }
}

} // namespace

// ---- enumerations --------------------------------------------------------------------------------------

TMixerLineType LineTypeOf(std::uint32_t componentType) {
    if (componentType <= Component::DstLast)
        return static_cast<TMixerLineType>(static_cast<unsigned>(TMixerLineType::dtUndefined) +
                                           componentType);
    if (componentType >= Component::SrcUndefined && componentType <= Component::SrcLast)
        return static_cast<TMixerLineType>(componentType - Component::SrcUndefined);
    return TMixerLineType::ltUnknown;
}

TMixerControlType ControlTypeOf(std::uint32_t controlType) {
    using C = TMixerControlType;
    switch (controlType) {
    case ControlKind::Custom: return C::ctCustom;
    case ControlKind::Bass: return C::ctBass;
    case ControlKind::Equalizer: return C::ctEqualizer;
    case ControlKind::Fader: return C::ctFader;
    case ControlKind::Treble: return C::ctTreble;
    case ControlKind::Volume: return C::ctVolume;
    case ControlKind::Mixer: return C::ctMixer;
    case ControlKind::MultipleSelect: return C::ctMultipleSelect;
    case ControlKind::Mux: return C::ctMux;
    case ControlKind::SingleSelect: return C::ctSingleSelect;
    case ControlKind::BooleanMeter: return C::ctBooleanMeter;
    case ControlKind::PeakMeter: return C::ctPeakMeter;
    case ControlKind::SignedMeter: return C::ctSignedMeter;
    case ControlKind::UnsignedMeter: return C::ctUnsignedMeter;
    case ControlKind::Decibels: return C::ctDecibels;
    case ControlKind::Percent: return C::ctPercent;
    case ControlKind::Signed: return C::ctSigned;
    case ControlKind::Unsigned: return C::ctUnsigned;
    case ControlKind::Pan: return C::ctPan;
    case ControlKind::QSoundPan: return C::ctQsoundPan;
    case ControlKind::Slider: return C::ctSlider;
    case ControlKind::Boolean: return C::ctBoolean;
    case ControlKind::Button: return C::ctButton;
    case ControlKind::Loudness: return C::ctLoudness;
    case ControlKind::Mono: return C::ctMono;
    case ControlKind::Mute: return C::ctMute;
    case ControlKind::OnOff: return C::ctOnOff;
    case ControlKind::StereoEnh: return C::ctStereoEnh;
    case ControlKind::MicroTime: return C::ctMicroTime;
    case ControlKind::MilliTime: return C::ctMilliTime;
    default: return C::ctUnknown;
    }
}

const std::array<const char16_t*, MixerLineTypeCount> LineTypeNames = {
    u"Undefined", u"Digital", u"Line",      u"Microphone", u"Synthesizer", u"CompactDisk", u"Telephone",
    u"PcSpeaker", u"WaveOut", u"Auxiliary", u"Analog",     u"Unknown",     u"Undefined",   u"Digital",
    u"Line",      u"Monitor", u"Speakers",  u"Headphones", u"Telephone",   u"WaveIn",      u"Voice"};

const std::array<const char16_t*, MixerControlTypeCount> ControlTypeNames = {
    u"Custom",      u"Bass",           u"Equalizer", u"Fader",        u"Treble",       u"Volume",
    u"Mixer",       u"MultipleSelect", u"Mux",       u"SingleSelect", u"BooleanMeter", u"PeakMeter",
    u"SignedMeter", u"UnsignedMeter",  u"Decibels",  u"Percent",      u"Signed",       u"Unsigned",
    u"Pan",         u"QsoundPan",      u"Slider",    u"Boolean",      u"Button",       u"Loudness",
    u"Mono",        u"Mute",           u"OnOff",     u"StereoEnh",    u"MicroTime",    u"MilliTime",
    u"Unknow"};

// ---- errors -------------------------------------------------------------------------------------------

QString MixerErrorMessage(int code) {
    switch (code) {
    case Result::BadDeviceId: return QStringLiteral("デバイスIDは不正です");
    case Result::InvalidHandle: return QStringLiteral("無効なハンドルです");
    case Result::NoDriver: return QStringLiteral("デバイスドライバがありません");
    case Result::NoMemory: return QStringLiteral("メモリを割り当てられないかメモリをロックできません");
    case Result::InvalidFlag: return QStringLiteral("無効なフラグです");
    case Result::InvalidParam: return QStringLiteral("無効なパラメータです");
    case Result::InvalidLine: return QStringLiteral("無効なラインです");
    case Result::InvalidControl: return QStringLiteral("無効なコントロールです");
    default: return QStringLiteral("不明なエラー:%1").arg(code);
    }
}

bool MixerCheck(int result, bool report) {
    if (result == Result::NoError) return true;
    if (report) LastError = EMixerError::CreateCode(MixerErrorMessage(result), result);
    return false;
}

const EMixerError& LastMixerError() {
    return LastError;
}

// ---- TMixerCtrl ----------------------------------------------------------------------------------------

TMixerCtrl::TMixerCtrl(const ControlInfo& info, TMixerOptions options)
    : ControlID(info.ControlId), ControlType(ControlTypeOf(info.ControlType)),
      MultipleItems(info.MultipleItems) {
    if (info.Flags & ControlFlag::Disabled) Flags.Include(TMixerControlFlag::cfDisabled);
    if (info.Flags & ControlFlag::Multiple) Flags.Include(TMixerControlFlag::cfMultiple);
    if (info.Flags & ControlFlag::Uniform) Flags.Include(TMixerControlFlag::cfUniform);
    if (!options.Contains(TMixerOption::moNoControlName)) Name = info.Name.left(ControlNameLength);
    if (!options.Contains(TMixerOption::moNoControlShortName))
        ShortName = info.ShortName.left(ControlShortNameLength);
    if (!options.Contains(TMixerOption::moNoControlBounds)) Bounds = info.Bounds;
    if (!options.Contains(TMixerOption::moNoControlMetrics)) Metrics = info.Metrics;
}

// ---- TMixerItem ----------------------------------------------------------------------------------------

TMixerItem::TMixerItem(TMixerDev* device, const LineInfo& line, TMixerItem* destination,
                       TMixerOptions options, int destinationIndex)
    : Device(device), Channels(static_cast<std::uint8_t>(line.Channels)), LineID(line.LineId),
      LineType(LineTypeOf(line.ComponentType)), Destination(destination), DestinationIndex(destinationIndex),
      TargetType(line.TargetType) {
    if (!options.Contains(TMixerOption::moNoLineName)) Name = line.Name.left(LineNameLength);
    if (!options.Contains(TMixerOption::moNoLineShortName))
        ShortName = line.ShortName.left(LineShortNameLength);
    if (!options.Contains(TMixerOption::moNoTargetName)) TargetName = line.TargetName.left(TargetNameLength);
}

MixerDeviceApi* TMixerItem::Api() const {
    return Device != nullptr && Device->Mixer != nullptr ? Device->Mixer->Api() : nullptr;
}

TMixerOptions TMixerItem::MixerOptions() const {
    return Device != nullptr && Device->Mixer != nullptr ? Device->Mixer->Options : TMixerOptions{};
}

TMixerLineType TMixerItem::GetDestinationType() const {
    return Destination != nullptr ? Destination->LineType : LineType;
}

TMixerCtrl* TMixerItem::GetControl(int index) const {
    if (index < 0 || index >= static_cast<int>(Controls.size())) return nullptr;
    return Controls[static_cast<std::size_t>(index)].get();
}

int TMixerItem::IndexOfControlID(std::uint32_t controlId) const {
    for (std::size_t i = 0; i < Controls.size(); ++i)
        if (Controls[i]->ControlID == controlId) return static_cast<int>(i);
    return -1;
}

TMixerCtrl* TMixerItem::AddControl(const ControlInfo& info, TMixerOptions options) {
    std::unique_ptr<TMixerCtrl> control = Device != nullptr && Device->Mixer != nullptr
                                              ? Device->Mixer->CreateCtrl(info, options)
                                              : std::make_unique<TMixerCtrl>(info, options);
    Controls.push_back(std::move(control));
    return Controls.back().get();
}

int TMixerItem::GetDetailCount(const TMixerCtrl* control) const {
    if (control == nullptr) return 0;
    int count = control->Flags.Contains(TMixerControlFlag::cfUniform) ? 1 : Channels;
    if (control->Flags.Contains(TMixerControlFlag::cfMultiple))
        count *= static_cast<int>(control->MultipleItems);
    return count;
}

// One detail call over `values` (the caller's buffer as words). A buffer shorter than the count is
// refused without a call.
bool TMixerItem::CallDetails(const TMixerCtrl* control, std::size_t bufferSize, bool set,
                             std::vector<std::uint32_t>& values) {
    MixerDeviceApi* api = Api();
    if (control == nullptr || api == nullptr) return MixerCheck(Result::InvalidHandle, true);
    const int count = GetDetailCount(control);
    if (bufferSize < static_cast<std::size_t>(std::max(count, 0)) || count < 1)
        return MixerCheck(Result::InvalidParam, true);
    const std::uint32_t channels = control->Flags.Contains(TMixerControlFlag::cfUniform) ? 1u : Channels;
    const std::uint32_t items =
        control->Flags.Contains(TMixerControlFlag::cfMultiple) ? control->MultipleItems : 0u;
    if (set)
        return MixerCheck(api->SetValues(Device->Handle, control->ControlID, channels, items, values), true);
    return MixerCheck(api->GetValues(Device->Handle, control->ControlID, channels, items, values), true);
}

bool TMixerItem::GetUnsignedDetails(const TMixerCtrl* control, std::vector<std::uint32_t>& buffer) {
    std::fill(buffer.begin(), buffer.end(), 0u);
    std::vector<std::uint32_t> values(buffer.size(), 0u);
    const bool ok = CallDetails(control, buffer.size(), false, values);
    if (ok) buffer = values;
    return ok;
}

bool TMixerItem::SetUnsignedDetails(const TMixerCtrl* control, const std::vector<std::uint32_t>& buffer) {
    std::vector<std::uint32_t> values = buffer;
    return CallDetails(control, buffer.size(), true, values);
}

bool TMixerItem::GetBooleanDetails(const TMixerCtrl* control, std::vector<std::uint32_t>& buffer) {
    return GetUnsignedDetails(control, buffer);
}

bool TMixerItem::SetBooleanDetails(const TMixerCtrl* control, const std::vector<std::uint32_t>& buffer) {
    return SetUnsignedDetails(control, buffer);
}

bool TMixerItem::GetSignedDetails(const TMixerCtrl* control, std::vector<std::int32_t>& buffer) {
    std::fill(buffer.begin(), buffer.end(), 0);
    std::vector<std::uint32_t> values(buffer.size(), 0u);
    const bool ok = CallDetails(control, buffer.size(), false, values);
    if (ok)
        for (std::size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = static_cast<std::int32_t>(values[i]);
    return ok;
}

bool TMixerItem::SetSignedDetails(const TMixerCtrl* control, const std::vector<std::int32_t>& buffer) {
    std::vector<std::uint32_t> values(buffer.size());
    for (std::size_t i = 0; i < buffer.size(); ++i)
        values[i] = static_cast<std::uint32_t>(buffer[i]);
    return CallDetails(control, buffer.size(), true, values);
}

bool TMixerItem::GetListTextDetails(const TMixerCtrl* control, std::vector<ListText>& buffer) {
    std::fill(buffer.begin(), buffer.end(), ListText{});
    MixerDeviceApi* api = Api();
    if (control == nullptr || api == nullptr) return MixerCheck(Result::InvalidHandle, true);
    const int count = GetDetailCount(control);
    if (count < 1 || buffer.size() < static_cast<std::size_t>(count))
        return MixerCheck(Result::InvalidParam, true);
    const std::uint32_t channels = control->Flags.Contains(TMixerControlFlag::cfUniform) ? 1u : Channels;
    const std::uint32_t items =
        control->Flags.Contains(TMixerControlFlag::cfMultiple) ? control->MultipleItems : 0u;
    std::vector<ListText> texts(buffer.size());
    if (!MixerCheck(api->GetListTexts(Device->Handle, control->ControlID, channels, items, texts), true))
        return false;
    std::copy_n(texts.begin(), std::min(texts.size(), buffer.size()), buffer.begin());
    return true;
}

bool TMixerItem::SetListTextDetails(const TMixerCtrl*, std::vector<ListText>& buffer) {
    std::fill(buffer.begin(), buffer.end(), ListText{});
    return false;
}

void TMixerItem::GetValue(std::uint32_t& left, std::uint32_t& right) {
    left = right = 0;
    const TMixerCtrl* volume = GetVolumeControl();
    if (volume == nullptr) return;
    std::vector<std::uint32_t> values(static_cast<std::size_t>(std::max(GetDetailCount(volume), 1)), 0u);
    GetUnsignedDetails(volume, values);
    left = values[0];
    if (values.size() >= 2) right = values[1];
}

void TMixerItem::SetValue(std::uint32_t left, std::uint32_t right) {
    const TMixerCtrl* volume = GetVolumeControl();
    if (volume == nullptr) return;
    std::vector<std::uint32_t> values(static_cast<std::size_t>(std::max(GetDetailCount(volume), 1)), 0u);
    // The values beyond the first two keep theirs.
    if (values.size() > 2) GetUnsignedDetails(volume, values);
    values[0] = std::min(left, VolumeMaximum);
    if (values.size() >= 2) values[1] = std::min(right, VolumeMaximum);
    SetUnsignedDetails(volume, values);
}

int TMixerItem::GetVolume() {
    if (GetVolumeControl() == nullptr) return -1;
    std::uint32_t left = 0, right = 0;
    GetValue(left, right);
    if (!MixerOptions().Contains(TMixerOption::moNoBalanceAutoUpdate)) {
        const float estimate = EstimateBalance(left, right, Channels, BalanceRatio);
        if (std::fabs(estimate - BalanceRatio) > RatioTolerance * BalanceRatio) BalanceRatio = estimate;
    }
    return static_cast<int>(Nearest(std::max(left, right) / FullScale * PercentScale));
}

void TMixerItem::SetVolume(int volume) {
    volume = std::clamp(volume, 0, static_cast<int>(PercentScale));
    std::uint32_t left = 0, right = 0;
    VolumeToPair(volume, BalanceRatio, Channels, left, right);
    std::uint32_t currentLeft = 0, currentRight = 0;
    GetValue(currentLeft, currentRight);
    if (left != currentLeft || right != currentRight) SetValue(left, right);
}

int TMixerItem::GetBalance() const {
    const double ratio = BalanceRatio;
    return static_cast<int>(Nearest(ratio / (ratio + 1) * PercentScale));
}

void TMixerItem::SetBalance(int balance) {
    const int volume = GetVolume();
    if (balance < 1)
        BalanceRatio = 0.0f;
    else if (balance < 100)
        BalanceRatio = static_cast<float>(static_cast<double>(balance) / (100 - balance));
    else
        BalanceRatio = RightOnlyRatio;
    SetVolume(volume);
}

bool TMixerItem::GetMute() {
    const TMixerCtrl* mute = GetMuteControl();
    if (mute == nullptr) return false;
    std::vector<std::uint32_t> values(static_cast<std::size_t>(std::max(GetDetailCount(mute), 1)), 0u);
    GetBooleanDetails(mute, values);
    return values[0] != 0;
}

void TMixerItem::SetMute(bool mute) {
    const TMixerCtrl* control = GetMuteControl();
    if (control == nullptr) return;
    std::vector<std::uint32_t> values(static_cast<std::size_t>(std::max(GetDetailCount(control), 1)), 0u);
    GetBooleanDetails(control, values);
    if ((values[0] != 0) == mute) return;
    std::fill(values.begin(), values.end(), mute ? 1u : 0u);
    SetBooleanDetails(control, values);
}

// ---- TMixerDev -------------------------------------------------------------------------------------------

TMixerDev::TMixerDev(TMixer* mixer, MixerApi::Handle handle, const DeviceCaps& caps, TMixerOptions options)
    : Mixer(mixer), Handle(handle), ManufacturerId(caps.ManufacturerId), ProductId(caps.ProductId),
      DriverVersion(caps.DriverVersion) {
    if (!options.Contains(TMixerOption::moNoDeviceName)) Name = caps.Name.left(DeviceNameLength);
}

TMixerDev::~TMixerDev() {
    Items.clear();
    if (Mixer != nullptr && Mixer->Api() != nullptr && Handle != 0) Mixer->Api()->CloseDevice(Handle);
}

TMixerItem* TMixerDev::GetItem(int index) const {
    if (index < 0 || index >= static_cast<int>(Items.size())) return nullptr;
    return Items[static_cast<std::size_t>(index)].get();
}

TMixerItem* TMixerDev::FindLine(TMixerLineType type, int start) const {
    for (int i = std::max(start, 0); i < static_cast<int>(Items.size()); ++i)
        if (Items[static_cast<std::size_t>(i)]->LineType == type)
            return Items[static_cast<std::size_t>(i)].get();
    return nullptr;
}

TMixerItem* TMixerDev::AddLine(const LineInfo& line, TMixerItem* destination, TMixerOptions options,
                               int destinationIndex) {
    std::unique_ptr<TMixerItem> item =
        Mixer != nullptr ? Mixer->CreateItem(this, line, destination, options, destinationIndex)
                         : std::make_unique<TMixerItem>(this, line, destination, options, destinationIndex);
    Items.push_back(std::move(item));
    return Items.back().get();
}

void TMixerDev::RemoveItem(TMixerItem* item) {
    const auto it =
        std::find_if(Items.begin(), Items.end(), [item](const auto& p) { return p.get() == item; });
    if (it != Items.end()) Items.erase(it);
}

TMixerItem* TMixerDev::FindItemByControlID(std::uint32_t controlId) const {
    for (const auto& item : Items)
        if (item->IndexOfControlID(controlId) >= 0) return item.get();
    return nullptr;
}

TMixerItem* TMixerDev::FindItemByLineID(std::uint32_t lineId) const {
    for (const auto& item : Items)
        if (item->LineID == lineId) return item.get();
    return nullptr;
}

// ---- TMixer
// ------------------------------------------------------------------------------------------------

TMixer::TMixer(QObject* owner, MixerDeviceApi* api) : QObject(owner) {
    if (api == nullptr) {
        ownApi_ = std::make_unique<AlsaMixerApi>();
        api = ownApi_.get();
    }
    api_ = api;
}

TMixer::~TMixer() {
    ClearDevices();
}

void TMixer::Loaded() {
    if (AutoScan) Scan();
}

TMixerDev* TMixer::GetDevice(int index) const {
    if (index < 0 || index >= static_cast<int>(devices_.size())) return nullptr;
    return devices_[static_cast<std::size_t>(index)].get();
}

TMixerDev* TMixer::FindDevice(Handle handle) const {
    for (const auto& device : devices_)
        if (device->Handle == handle) return device.get();
    return nullptr;
}

void TMixer::ClearDevices() {
    for (QSocketNotifier* notifier : notifiers_)
        delete notifier;
    notifiers_.clear();
    devices_.clear();
}

std::unique_ptr<TMixerItem> TMixer::CreateItem(TMixerDev* device, const LineInfo& line,
                                               TMixerItem* destination, TMixerOptions options,
                                               int destinationIndex) {
    return std::make_unique<TMixerItem>(device, line, destination, options, destinationIndex);
}

std::unique_ptr<TMixerDev> TMixer::CreateDev(Handle handle, const DeviceCaps& caps, TMixerOptions options) {
    return std::make_unique<TMixerDev>(this, handle, caps, options);
}

std::unique_ptr<TMixerCtrl> TMixer::CreateCtrl(const ControlInfo& info, TMixerOptions options) {
    return std::make_unique<TMixerCtrl>(info, options);
}

TMixerDev* TMixer::AddDevice(Handle handle, const DeviceCaps& caps, TMixerOptions options) {
    devices_.push_back(CreateDev(handle, caps, options));
    WatchDevice(handle);
    return devices_.back().get();
}

void TMixer::Scan() {
    ClearDevices();
    const int count = api_->DeviceCount();
    for (int index = 0; index < count; ++index) {
        DeviceCaps caps;
        if (!MixerCheck(api_->GetDeviceCaps(index, caps), false)) continue;
        Handle handle = 0;
        if (!MixerCheck(api_->OpenDevice(index, handle), false)) continue;
        ScanDevice(AddDevice(handle, caps, Options), caps.Destinations);
    }
}

// The lines of one device: each destination of a wanted type with its wanted sources; lines and
// destinations without controls are dropped unless EnableInvalidItem asks to keep them.
void TMixer::ScanDevice(TMixerDev* device, std::uint32_t destinations) {
    for (std::uint32_t d = 0; d < destinations; ++d) {
        LineInfo destinationLine;
        if (!MixerCheck(api_->GetDestinationLine(device->Handle, d, destinationLine), false)) break;
        if (!Target.LineType.Contains(LineTypeOf(destinationLine.ComponentType))) continue;
        TMixerItem* destinationItem = nullptr;
        int kept = 0;
        for (long s = -1; s < static_cast<long>(destinationLine.Connections); ++s) {
            LineInfo line;
            const int result =
                s < 0 ? api_->GetDestinationLine(device->Handle, d, line)
                      : api_->GetSourceLine(device->Handle, d, static_cast<std::uint32_t>(s), line);
            if (!MixerCheck(result, false) || !Target.LineType.Contains(LineTypeOf(line.ComponentType)))
                continue;
            if (s >= 0 && line.Controls == 0 && !EnableInvalidItem) continue;
            TMixerItem* item = device->AddLine(line, destinationItem, Options, static_cast<int>(d));
            if (s < 0) destinationItem = item;
            if (line.Controls > 0) {
                std::vector<ControlInfo> controls;
                // A line whose controls cannot be read stays, without controls.
                if (!MixerCheck(api_->GetLineControls(device->Handle, line.LineId, controls), false))
                    continue;
                for (ControlInfo& info : controls) {
                    const TMixerControlType type = ControlTypeOf(info.ControlType);
                    if (!Target.ControlType.Contains(type)) continue;
                    if (type == TMixerControlType::ctMute) info.Flags |= ControlFlag::Uniform;
                    item->AddControl(info, Options);
                    const int at = item->GetControlCount() - 1;
                    if (type == TMixerControlType::ctMute && item->MuteControlIndex < 0)
                        item->MuteControlIndex = at;
                    if (type == TMixerControlType::ctVolume && item->VolumeControlIndex < 0)
                        item->VolumeControlIndex = at;
                }
            }
            if (s >= 0) {
                if (!EnableInvalidItem && !item->HasControls())
                    device->RemoveItem(item);
                else
                    ++kept;
            }
        }
        if (!EnableInvalidItem && destinationItem != nullptr && !destinationItem->HasControls() && kept == 0)
            device->RemoveItem(destinationItem);
    }
}

// Changes on the device wake the user-interface thread through its event loop.
void TMixer::WatchDevice(Handle handle) {
    for (const int fd : api_->EventDescriptors(handle)) {
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, this,
                         [this, handle] { DeviceEvents(handle); });
        notifiers_.push_back(notifier);
    }
}

void TMixer::DeviceEvents(Handle handle) {
    for (const Change& change : api_->TakeChanges(handle)) {
        if (change.Line)
            DoLineChange(handle, change.Id);
        else
            DoControlChange(handle, change.Id);
    }
}

void TMixer::DoLineChange(Handle handle, std::uint32_t lineId) {
    if (!OnLineChange) return;
    TMixerDev* device = FindDevice(handle);
    if (device == nullptr) return;
    if (TMixerItem* item = device->FindItemByLineID(lineId)) OnLineChange(this, device, item);
}

void TMixer::DoControlChange(Handle handle, std::uint32_t controlId) {
    if (!OnControlChange) return;
    TMixerDev* device = FindDevice(handle);
    if (device == nullptr) return;
    TMixerItem* item = device->FindItemByControlID(controlId);
    if (item == nullptr) return;
    OnControlChange(this, device, item, item->GetControl(item->IndexOfControlID(controlId)));
}

TMixerItem* TMixer::SpeakerItem() const {
    const TMixerDev* device = GetDefaultDevice();
    return device != nullptr ? device->FindLine(TMixerLineType::dtSpeakers, 0) : nullptr;
}

int TMixer::GetSpeakerVolume() {
    TMixerItem* item = SpeakerItem();
    return item != nullptr ? item->GetVolume() : -1;
}

void TMixer::SetSpeakerVolume(int volume) {
    if (TMixerItem* item = SpeakerItem()) item->SetVolume(volume);
}

bool TMixer::GetSpeakerMute() {
    TMixerItem* item = SpeakerItem();
    return item != nullptr && item->GetMute();
}

void TMixer::SetSpeakerMute(bool mute) {
    if (TMixerItem* item = SpeakerItem()) item->SetMute(mute);
}
