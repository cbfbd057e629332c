// The mixer interface served from ALSA's simple mixer: the cards as devices, their speaker and
// recording lines with volume and mute controls, and the events of a device that is watched.
#include "platform/alsamixer.h"

#include <alsa/asoundlib.h>

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

using namespace MixerApi;

namespace {

// The names of the elements that stand for the two destination lines.
constexpr char SpeakersElement[] = "Master";
constexpr char RecordingElement[] = "Capture";
constexpr char DefaultMixerName[] = "default";

constexpr int ShortNameLength = 15;          // the short names hold 16 characters with the terminator
constexpr std::uint32_t ControlsPerLine = 2; // volume and mute
constexpr std::uint32_t VolumeSlot = 0;
constexpr std::uint32_t MuteSlot = 1;

// ALSA reports its configuration troubles (no card, no server) on stderr by default. A machine
// without sound is an ordinary case here, answered by an empty device list, so it stays quiet.
void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa() {
    static const bool silenced = [] {
        snd_lib_error_set_handler(SilentAlsaErrors);
        return true;
    }();
    (void)silenced;
}

// Playback and recording elements are read and written through parallel families of calls.
struct Direction {
    int (*HasVolume)(snd_mixer_elem_t*);
    int (*HasSwitch)(snd_mixer_elem_t*);
    int (*IsMono)(snd_mixer_elem_t*);
    int (*HasChannel)(snd_mixer_elem_t*, snd_mixer_selem_channel_id_t);
    int (*VolumeRange)(snd_mixer_elem_t*, long*, long*);
    int (*GetVolume)(snd_mixer_elem_t*, snd_mixer_selem_channel_id_t, long*);
    int (*SetVolume)(snd_mixer_elem_t*, snd_mixer_selem_channel_id_t, long);
    int (*GetSwitch)(snd_mixer_elem_t*, snd_mixer_selem_channel_id_t, int*);
    int (*SetSwitch)(snd_mixer_elem_t*, snd_mixer_selem_channel_id_t, int);
    int (*SetSwitchAll)(snd_mixer_elem_t*, int);
};

const Direction Playback{snd_mixer_selem_has_playback_volume,       snd_mixer_selem_has_playback_switch,
                         snd_mixer_selem_is_playback_mono,          snd_mixer_selem_has_playback_channel,
                         snd_mixer_selem_get_playback_volume_range, snd_mixer_selem_get_playback_volume,
                         snd_mixer_selem_set_playback_volume,       snd_mixer_selem_get_playback_switch,
                         snd_mixer_selem_set_playback_switch,       snd_mixer_selem_set_playback_switch_all};
const Direction Recording{snd_mixer_selem_has_capture_volume,       snd_mixer_selem_has_capture_switch,
                          snd_mixer_selem_is_capture_mono,          snd_mixer_selem_has_capture_channel,
                          snd_mixer_selem_get_capture_volume_range, snd_mixer_selem_get_capture_volume,
                          snd_mixer_selem_set_capture_volume,       snd_mixer_selem_get_capture_switch,
                          snd_mixer_selem_set_capture_switch,       snd_mixer_selem_set_capture_switch_all};

constexpr snd_mixer_selem_channel_id_t LeftChannels[] = {SND_MIXER_SCHN_FRONT_LEFT, SND_MIXER_SCHN_REAR_LEFT,
                                                         SND_MIXER_SCHN_SIDE_LEFT};
constexpr snd_mixer_selem_channel_id_t RightChannels[] = {
    SND_MIXER_SCHN_FRONT_RIGHT, SND_MIXER_SCHN_REAR_RIGHT, SND_MIXER_SCHN_SIDE_RIGHT};
constexpr snd_mixer_selem_channel_id_t MiddleChannels[] = {SND_MIXER_SCHN_FRONT_CENTER, SND_MIXER_SCHN_WOOFER,
                                                           SND_MIXER_SCHN_REAR_CENTER};

bool IsElement(snd_mixer_elem_t* elem, const char* name) {
    return snd_mixer_selem_get_index(elem) == 0 && std::strcmp(snd_mixer_selem_get_name(elem), name) == 0;
}

bool Usable(snd_mixer_elem_t* elem, const Direction& direction) {
    return direction.HasVolume(elem) != 0 || direction.HasSwitch(elem) != 0;
}

// The kind of source an element feeds, guessed from its name as the drivers name them.
std::uint32_t SourceTypeOfName(const QString& name) {
    const QString n = name.toLower();
    struct Rule {
        const char* Word;
        std::uint32_t Type;
    };
    // The PC speaker before the speaker outputs, and the outputs named after a speaker position
    // before "phone" (a headphone is no telephone).
    static constexpr Rule Rules[] = {
        {"pc speaker", Component::SrcPcSpeaker},
        {"beep", Component::SrcPcSpeaker},
        {"headphone", Component::SrcAnalog},
        {"speaker", Component::SrcAnalog},
        {"front", Component::SrcAnalog},
        {"surround", Component::SrcAnalog},
        {"center", Component::SrcAnalog},
        {"lfe", Component::SrcAnalog},
        {"side", Component::SrcAnalog},
        {"pcm", Component::SrcWaveOut},
        {"wave", Component::SrcWaveOut},
        {"mic", Component::SrcMicrophone},
        {"line", Component::SrcLine},
        {"cd", Component::SrcCompactDisc},
        {"synth", Component::SrcSynthesizer},
        {"fm", Component::SrcSynthesizer},
        {"midi", Component::SrcSynthesizer},
        {"aux", Component::SrcAuxiliary},
        {"phone", Component::SrcTelephone},
        {"modem", Component::SrcTelephone},
        {"iec958", Component::SrcDigital},
        {"spdif", Component::SrcDigital},
        {"s/pdif", Component::SrcDigital},
        {"digital", Component::SrcDigital},
    };
    for (const Rule& rule : Rules)
        if (n.contains(QLatin1String(rule.Word))) return rule.Type;
    return Component::SrcUndefined;
}

std::uint32_t ToFullScale(long raw, long minimum, long maximum) {
    if (maximum <= minimum) return 0;
    const double scaled = std::round(static_cast<double>(raw - minimum) * VolumeMaximum /
                                     static_cast<double>(maximum - minimum));
    return static_cast<std::uint32_t>(std::clamp(scaled, 0.0, static_cast<double>(VolumeMaximum)));
}

long FromFullScale(std::uint32_t value, long minimum, long maximum) {
    if (maximum <= minimum) return minimum;
    const std::uint32_t v = std::min(value, VolumeMaximum);
    return minimum +
           std::lround(static_cast<double>(v) * static_cast<double>(maximum - minimum) / VolumeMaximum);
}

QString CardName(int card) {
    char* name = nullptr;
    if (snd_card_get_name(card, &name) < 0 || name == nullptr) return QStringLiteral("hw:%1").arg(card);
    QString result = QString::fromLocal8Bit(name);
    std::free(name);
    return result;
}

// The name of the card behind a control device name ("default" when it tells none).
QString ControlName(const QString& device) {
    snd_ctl_t* ctl = nullptr;
    const QByteArray name = device.toLocal8Bit();
    if (snd_ctl_open(&ctl, name.constData(), 0) < 0) return device;
    snd_ctl_card_info_t* info = nullptr;
    QString result = device;
    if (snd_ctl_card_info_malloc(&info) == 0) {
        if (snd_ctl_card_info(ctl, info) == 0) {
            const char* cardName = snd_ctl_card_info_get_name(info);
            if (cardName != nullptr && cardName[0] != '\0') result = QString::fromLocal8Bit(cardName);
        }
        snd_ctl_card_info_free(info);
    }
    snd_ctl_close(ctl);
    return result;
}

snd_mixer_t* OpenAlsaMixer(const QString& device) {
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0) return nullptr;
    const QByteArray name = device.toLocal8Bit();
    if (snd_mixer_attach(mixer, name.constData()) < 0 ||
        snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 || snd_mixer_load(mixer) < 0) {
        snd_mixer_close(mixer);
        return nullptr;
    }
    return mixer;
}

} // namespace

// One line: an element seen in one direction, as a destination or as one of its sources.
struct AlsaLine {
    snd_mixer_elem_t* Elem = nullptr; // null once the element has gone
    const Direction* Dir = nullptr;
    std::uint32_t Destination = 0;
    std::uint32_t Source = 0;
    bool IsDestination = false;
    std::uint32_t ComponentType = Component::SrcUndefined;
    QString Name;
    std::vector<std::uint32_t> Sources; // line indices, for a destination
};

struct AlsaMixerApi::OpenMixer {
    snd_mixer_t* Mixer = nullptr;
    QString DeviceName;
    std::vector<AlsaLine> Lines; // the line id is the index
    std::vector<std::uint32_t> Destinations;
    std::vector<Change> Pending;

    ~OpenMixer() {
        if (Mixer != nullptr) snd_mixer_close(Mixer);
    }

    bool HasVolume(const AlsaLine& line) const {
        return line.Elem != nullptr && line.Dir->HasVolume(line.Elem);
    }
    bool HasSwitch(const AlsaLine& line) const {
        return line.Elem != nullptr && line.Dir->HasSwitch(line.Elem);
    }
    std::uint32_t Channels(const AlsaLine& line) const {
        if (line.Elem == nullptr) return 1;
        return line.Dir->IsMono(line.Elem) ? 1 : 2;
    }

    void Refresh() {
        if (Mixer != nullptr) snd_mixer_handle_events(Mixer);
    }

    // Builds the lines: the speakers destination with its playback sources, then the recording one.
    void Build() {
        snd_mixer_elem_t* master = nullptr;
        snd_mixer_elem_t* capture = nullptr;
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(Mixer); e != nullptr; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_is_active(e)) continue;
            if (master == nullptr && IsElement(e, SpeakersElement) && Usable(e, Playback)) master = e;
            if (capture == nullptr && IsElement(e, RecordingElement) && Usable(e, Recording)) capture = e;
        }
        if (master != nullptr) AddDestination(master, Playback, Component::DstSpeakers);
        if (capture != nullptr) AddDestination(capture, Recording, Component::DstWaveIn);
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(Mixer); e != nullptr; e = snd_mixer_elem_next(e))
            snd_mixer_elem_set_callback_private(e, this);
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(Mixer); e != nullptr; e = snd_mixer_elem_next(e))
            snd_mixer_elem_set_callback(e, &OpenMixer::ElementEvent);
    }

    void AddDestination(snd_mixer_elem_t* main, const Direction& direction, std::uint32_t type) {
        const auto d = static_cast<std::uint32_t>(Destinations.size());
        const auto destIndex = static_cast<std::uint32_t>(Lines.size());
        Lines.push_back(AlsaLine{main, &direction, d, 0, true, type, ElementName(main), {}});
        Destinations.push_back(destIndex);
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(Mixer); e != nullptr; e = snd_mixer_elem_next(e)) {
            if (e == main || !snd_mixer_selem_is_active(e) || !Usable(e, direction)) continue;
            const QString name = ElementName(e);
            const auto s = static_cast<std::uint32_t>(Lines[destIndex].Sources.size());
            const auto index = static_cast<std::uint32_t>(Lines.size());
            Lines.push_back(AlsaLine{e, &direction, d, s, false, SourceTypeOfName(name), name, {}});
            Lines[destIndex].Sources.push_back(index);
        }
    }

    static QString ElementName(snd_mixer_elem_t* e) {
        QString name = QString::fromLocal8Bit(snd_mixer_selem_get_name(e));
        if (const unsigned index = snd_mixer_selem_get_index(e); index != 0)
            name += QStringLiteral(" %1").arg(index);
        return name;
    }

    // Each change is kept once until taken, so a mixer nobody listens to gathers no more than its
    // lines and controls.
    void Note(Change change) {
        for (const Change& pending : Pending)
            if (pending.Line == change.Line && pending.Id == change.Id) return;
        Pending.push_back(change);
    }

    // ALSA calls this for every change of an element while events are handled.
    static int ElementEvent(snd_mixer_elem_t* elem, unsigned int mask) {
        auto* self = static_cast<OpenMixer*>(snd_mixer_elem_get_callback_private(elem));
        if (self == nullptr) return 0;
        for (std::uint32_t i = 0; i < self->Lines.size(); ++i) {
            AlsaLine& line = self->Lines[i];
            if (line.Elem != elem) continue;
            if (mask == SND_CTL_EVENT_MASK_REMOVE) {
                line.Elem = nullptr; // the element is freed after this call
                self->Note(Change{true, i});
                continue;
            }
            if (mask & SND_CTL_EVENT_MASK_INFO) self->Note(Change{true, i});
            if (mask & SND_CTL_EVENT_MASK_VALUE) {
                self->Note(Change{false, i * ControlsPerLine + VolumeSlot});
                self->Note(Change{false, i * ControlsPerLine + MuteSlot});
            }
        }
        return 0;
    }

    void Describe(std::uint32_t index, LineInfo& info) const {
        const AlsaLine& line = Lines[index];
        info = LineInfo{};
        info.Destination = line.Destination;
        info.Source = line.Source;
        info.LineId = index;
        info.ComponentType = line.ComponentType;
        info.Channels = Channels(line);
        info.Connections = line.IsDestination ? static_cast<std::uint32_t>(line.Sources.size()) : 0;
        info.Controls = (HasVolume(line) ? 1u : 0u) + (HasSwitch(line) ? 1u : 0u);
        info.Name = line.Name;
        info.ShortName = line.Name.left(ShortNameLength);
        info.TargetType = line.Dir == &Playback ? Target::WaveOut : Target::WaveIn;
        info.TargetName = DeviceName;
    }

    // The line and slot of a control id, or null.
    AlsaLine* LineOfControl(std::uint32_t controlId, std::uint32_t& slot) {
        const std::uint32_t index = controlId / ControlsPerLine;
        if (index >= Lines.size()) return nullptr;
        slot = controlId % ControlsPerLine;
        AlsaLine& line = Lines[index];
        if (slot == VolumeSlot ? !HasVolume(line) : !HasSwitch(line)) return nullptr;
        return &line;
    }

    // Left and right as the line holds them, in full scale (volume) or as mute flags (switch).
    void Read(const AlsaLine& line, std::uint32_t slot, std::uint32_t& left, std::uint32_t& right) const {
        const bool mono = line.Dir->IsMono(line.Elem) != 0;
        const snd_mixer_selem_channel_id_t l = mono ? SND_MIXER_SCHN_MONO : SND_MIXER_SCHN_FRONT_LEFT;
        const snd_mixer_selem_channel_id_t r =
            !mono && line.Dir->HasChannel(line.Elem, SND_MIXER_SCHN_FRONT_RIGHT) ? SND_MIXER_SCHN_FRONT_RIGHT
                                                                                 : l;
        if (slot == VolumeSlot) {
            long minimum = 0, maximum = 0, a = 0, b = 0;
            line.Dir->VolumeRange(line.Elem, &minimum, &maximum);
            line.Dir->GetVolume(line.Elem, l, &a);
            line.Dir->GetVolume(line.Elem, r, &b);
            left = ToFullScale(a, minimum, maximum);
            right = ToFullScale(b, minimum, maximum);
        } else {
            int a = 1, b = 1;
            line.Dir->GetSwitch(line.Elem, l, &a);
            line.Dir->GetSwitch(line.Elem, r, &b);
            left = a == 0 ? 1 : 0; // a switched-off line is muted
            right = b == 0 ? 1 : 0;
        }
    }

    int WriteVolume(const AlsaLine& line, std::uint32_t left, std::uint32_t right) const {
        long minimum = 0, maximum = 0;
        if (line.Dir->VolumeRange(line.Elem, &minimum, &maximum) < 0) return Result::Error;
        const long a = FromFullScale(left, minimum, maximum);
        const long b = FromFullScale(right, minimum, maximum);
        if (line.Dir->IsMono(line.Elem))
            return line.Dir->SetVolume(line.Elem, SND_MIXER_SCHN_MONO, a) < 0 ? Result::Error
                                                                              : Result::NoError;
        // Every channel of a side follows its side; the middle ones follow the louder side.
        bool ok = true;
        const auto set = [&](snd_mixer_selem_channel_id_t channel, long value) {
            if (line.Dir->HasChannel(line.Elem, channel))
                ok = line.Dir->SetVolume(line.Elem, channel, value) >= 0 && ok;
        };
        for (const auto channel : LeftChannels)
            set(channel, a);
        for (const auto channel : RightChannels)
            set(channel, b);
        for (const auto channel : MiddleChannels)
            set(channel, std::max(a, b));
        return ok ? Result::NoError : Result::Error;
    }

    int WriteMute(const AlsaLine& line, std::uint32_t left, std::uint32_t right, bool uniform) const {
        if (uniform || line.Dir->IsMono(line.Elem))
            return line.Dir->SetSwitchAll(line.Elem, left != 0 ? 0 : 1) < 0 ? Result::Error : Result::NoError;
        bool ok = true;
        const auto set = [&](snd_mixer_selem_channel_id_t channel, std::uint32_t mute) {
            if (line.Dir->HasChannel(line.Elem, channel))
                ok = line.Dir->SetSwitch(line.Elem, channel, mute != 0 ? 0 : 1) >= 0 && ok;
        };
        for (const auto channel : LeftChannels)
            set(channel, left);
        for (const auto channel : RightChannels)
            set(channel, right);
        for (const auto channel : MiddleChannels)
            set(channel, left != 0 && right != 0 ? 1u : 0u);
        return ok ? Result::NoError : Result::Error;
    }
};

AlsaMixerApi::AlsaMixerApi() {
    SilenceAlsa();
}
AlsaMixerApi::~AlsaMixerApi() = default;

AlsaMixerApi::OpenMixer* AlsaMixerApi::Find(Handle handle) {
    const auto it = open_.find(handle);
    return it == open_.end() ? nullptr : it->second.get();
}

int AlsaMixerApi::DeviceCount() {
    deviceNames_.clear();
    deviceNames_.push_back(QString::fromLatin1(DefaultMixerName));
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0)
        deviceNames_.push_back(QStringLiteral("hw:%1").arg(card));
    return static_cast<int>(deviceNames_.size());
}

int AlsaMixerApi::GetDeviceCaps(int device, DeviceCaps& caps) {
    if (device < 0 || device >= static_cast<int>(deviceNames_.size())) return Result::BadDeviceId;
    const QString& name = deviceNames_[static_cast<std::size_t>(device)];
    OpenMixer probe;
    probe.Mixer = OpenAlsaMixer(name);
    if (probe.Mixer == nullptr) return Result::NoDriver;
    probe.Build();
    if (probe.Destinations.empty()) return Result::NoDriver;
    caps = DeviceCaps{};
    caps.Name = name.startsWith(QLatin1String("hw:")) ? CardName(name.mid(3).toInt()) : ControlName(name);
    caps.DriverVersion = SND_LIB_VERSION;
    caps.Destinations = static_cast<std::uint32_t>(probe.Destinations.size());
    return Result::NoError;
}

int AlsaMixerApi::OpenDevice(int device, Handle& handle) {
    handle = 0;
    if (device < 0 || device >= static_cast<int>(deviceNames_.size())) return Result::BadDeviceId;
    auto mixer = std::make_unique<OpenMixer>();
    const QString& name = deviceNames_[static_cast<std::size_t>(device)];
    mixer->Mixer = OpenAlsaMixer(name);
    if (mixer->Mixer == nullptr) return Result::NoDriver;
    mixer->DeviceName =
        name.startsWith(QLatin1String("hw:")) ? CardName(name.mid(3).toInt()) : ControlName(name);
    mixer->Build();
    handle = nextHandle_++;
    open_[handle] = std::move(mixer);
    return Result::NoError;
}

int AlsaMixerApi::CloseDevice(Handle handle) {
    return open_.erase(handle) != 0 ? Result::NoError : Result::InvalidHandle;
}

int AlsaMixerApi::GetDestinationLine(Handle handle, std::uint32_t destination, LineInfo& line) {
    OpenMixer* mixer = Find(handle);
    if (mixer == nullptr) return Result::InvalidHandle;
    if (destination >= mixer->Destinations.size()) return Result::InvalidLine;
    mixer->Describe(mixer->Destinations[destination], line);
    return Result::NoError;
}

int AlsaMixerApi::GetSourceLine(Handle handle, std::uint32_t destination, std::uint32_t source,
                                LineInfo& line) {
    OpenMixer* mixer = Find(handle);
    if (mixer == nullptr) return Result::InvalidHandle;
    if (destination >= mixer->Destinations.size()) return Result::InvalidLine;
    const AlsaLine& dest = mixer->Lines[mixer->Destinations[destination]];
    if (source >= dest.Sources.size()) return Result::InvalidLine;
    mixer->Describe(dest.Sources[source], line);
    return Result::NoError;
}

int AlsaMixerApi::GetLineControls(Handle handle, std::uint32_t lineId, std::vector<ControlInfo>& controls) {
    controls.clear();
    OpenMixer* mixer = Find(handle);
    if (mixer == nullptr) return Result::InvalidHandle;
    if (lineId >= mixer->Lines.size()) return Result::InvalidLine;
    const AlsaLine& line = mixer->Lines[lineId];
    if (line.Elem == nullptr) return Result::InvalidLine;
    // A line's control: its id and kind, and its name the line's with the control's word after it.
    auto control = [&](std::uint32_t slot, std::uint32_t kind, const QString& word, std::int32_t maximum) {
        ControlInfo info;
        info.ControlId = lineId * ControlsPerLine + slot;
        info.ControlType = kind;
        info.Name = line.Name + u' ' + word;
        info.ShortName = info.Name.left(ShortNameLength);
        info.Bounds[1] = maximum;
        return info;
    };
    if (mixer->HasVolume(line)) {
        ControlInfo volume = control(VolumeSlot, ControlKind::Volume, QStringLiteral("Volume"),
                                     static_cast<std::int32_t>(VolumeMaximum));
        long minimum = 0, maximum = 0;
        line.Dir->VolumeRange(line.Elem, &minimum, &maximum);
        volume.Metrics[0] =
            static_cast<std::int32_t>(std::clamp<long>(maximum - minimum + 1, 1, VolumeMaximum + 1));
        controls.push_back(volume);
    }
    if (mixer->HasSwitch(line))
        controls.push_back(control(MuteSlot, ControlKind::Mute, QStringLiteral("Mute"), 1));
    return Result::NoError;
}

int AlsaMixerApi::GetValues(Handle handle, std::uint32_t controlId, std::uint32_t channels,
                            std::uint32_t items, std::vector<std::uint32_t>& values) {
    OpenMixer* mixer = Find(handle);
    if (mixer == nullptr) return Result::InvalidHandle;
    mixer->Refresh();
    std::uint32_t slot = 0;
    const AlsaLine* line = mixer->LineOfControl(controlId, slot);
    if (line == nullptr) return Result::InvalidControl;
    if (items > 1 || channels < 1 || values.size() < channels) return Result::InvalidParam;
    std::uint32_t left = 0, right = 0;
    mixer->Read(*line, slot, left, right);
    if (channels == 1) {
        values[0] = slot == VolumeSlot ? std::max(left, right) : (left != 0 && right != 0 ? 1 : 0);
    } else {
        values[0] = left;
        values[1] = right;
        for (std::uint32_t i = 2; i < channels; ++i)
            values[i] = 0;
    }
    return Result::NoError;
}

int AlsaMixerApi::SetValues(Handle handle, std::uint32_t controlId, std::uint32_t channels,
                            std::uint32_t items, const std::vector<std::uint32_t>& values) {
    OpenMixer* mixer = Find(handle);
    if (mixer == nullptr) return Result::InvalidHandle;
    std::uint32_t slot = 0;
    const AlsaLine* line = mixer->LineOfControl(controlId, slot);
    if (line == nullptr) return Result::InvalidControl;
    if (items > 1 || channels < 1 || values.size() < channels) return Result::InvalidParam;
    const std::uint32_t left = values[0];
    const std::uint32_t right = channels >= 2 ? values[1] : values[0];
    return slot == VolumeSlot ? mixer->WriteVolume(*line, left, right)
                              : mixer->WriteMute(*line, left, right, channels == 1);
}

int AlsaMixerApi::GetListTexts(Handle handle, std::uint32_t controlId, std::uint32_t, std::uint32_t,
                               std::vector<ListText>& texts) {
    texts.clear();
    OpenMixer* mixer = Find(handle);
    if (mixer == nullptr) return Result::InvalidHandle;
    std::uint32_t slot = 0;
    // Volumes and switches carry no item texts.
    return mixer->LineOfControl(controlId, slot) == nullptr ? Result::InvalidControl : Result::InvalidParam;
}

std::vector<int> AlsaMixerApi::EventDescriptors(Handle handle) {
    std::vector<int> fds;
    OpenMixer* mixer = Find(handle);
    if (mixer == nullptr) return fds;
    const int count = snd_mixer_poll_descriptors_count(mixer->Mixer);
    if (count <= 0) return fds;
    std::vector<pollfd> polls(static_cast<std::size_t>(count));
    const int filled = snd_mixer_poll_descriptors(mixer->Mixer, polls.data(), static_cast<unsigned>(count));
    for (int i = 0; i < filled; ++i)
        fds.push_back(polls[static_cast<std::size_t>(i)].fd);
    return fds;
}

std::vector<Change> AlsaMixerApi::TakeChanges(Handle handle) {
    OpenMixer* mixer = Find(handle);
    if (mixer == nullptr) return {};
    mixer->Refresh();
    std::vector<Change> changes;
    changes.swap(mixer->Pending);
    return changes;
}
