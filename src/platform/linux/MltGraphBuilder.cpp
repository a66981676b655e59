#include "platform/linux/MltGraphBuilder.h"

#include <mlt++/Mlt.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <exception>
#include <filesystem>
#include <map>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/Utf8.h"
#include "editing/EditTimeline.h"
#include "platform/av/AvStreamLengths.h"
#include "platform/linux/FileBytes.h"
#include "platform/linux/KeyedBitmaps.h"
#include "platform/linux/LumaMaps.h"
#include "platform/linux/MltCatalog.h"
#include "platform/linux/MltRuntime.h"

namespace vortrel {

namespace {

constexpr long double kUnitsPerSecond = 1e7L;
constexpr int kDefaultWidth = 320;
constexpr int kDefaultHeight = 240;
constexpr double kDefaultFps = 15.0;
// MLT counts frames in ints; this leaves room for sums of spans (over a year at 30 fps).
constexpr int kMaxFrame = 1'000'000'000;
// The volume filter takes decibels; this is far below the quietest 16-bit sample.
constexpr double kSilenceDb = -1000.0;

// A run of frames: the first and how many.
struct FrameSpan {
    int in = 0;
    int count = 0;

    int End() const { return in + count; }
    int Out() const { return in + count - 1; }
};

// Turns the timeline's 100-ns times into frames of a profile, rounding to the nearest frame,
// so that clips that meet in time also meet in frames.
class FrameClock {
  public:
    explicit FrameClock(const Mlt::Profile& profile)
        : fps_(static_cast<long double>(profile.frame_rate_num()) / profile.frame_rate_den()) {}

    int At(int64_t time) const {
        if (time <= 0) {
            return 0;
        }
        const long double frame =
            std::round(static_cast<long double>(time) * fps_ / kUnitsPerSecond);
        return frame >= kMaxFrame ? kMaxFrame : static_cast<int>(frame);
    }

    FrameSpan Span(int64_t start, int64_t stop) const {
        const int in = At(start);
        return {in, std::max(0, At(stop) - in)};
    }

  private:
    long double fps_;
};

// A file the graph reads that the system made for itself (a wipe map, a text picture), and
// the service that names it as its resource.
struct MadeFile {
    Mlt::Properties service;
    std::filesystem::path file;
};

// What a track's sources become.
enum class TrackKind {
    Video,  // pictures that cover what lies beneath
    Keyed,  // text bitmaps laid over what lies beneath by their alpha
    Audio,  // sound mixed with the other audio tracks
};

std::optional<Guid> ClassOf(EditNode& node) {
    Guid id;
    if (!node.GetSubObjectGUID(id)) {
        return std::nullopt;
    }
    return id;
}

const EditNode* FindGroup(const EditTimeline& timeline, bool video) {
    for (int32_t i = 0; i < timeline.GetGroupCount(); ++i) {
        const std::shared_ptr<EditNode> group = timeline.GetGroup(i);
        const EditMediaType& type = group->GetMediaType();
        if (video ? std::holds_alternative<VideoMediaType>(type)
                  : std::holds_alternative<AudioMediaType>(type)) {
            return group.get();
        }
    }
    return nullptr;
}

// MLT reads in = out = 0 as "no span given" and then applies a filter or transition
// everywhere; a span of just the first frame is dropped rather than widened to the whole
// timeline.
bool Placeable(FrameSpan span) {
    return span.count > 0 && !(span.in == 0 && span.count == 1);
}

// The catalogue entry's own settings first, then the node's properties, which may override
// them. Names are engine property names; an empty one names nothing.
void SetProperties(Mlt::Properties& service, const MltServiceEntry& entry, const EditNode& node) {
    for (const auto& [name, value] : entry.properties) {
        service.set(name.c_str(), value.c_str());
    }
    if (entry.lumaMap) {
        // The map's folder follows the environment, which may have changed since the
        // catalogue was made.
        service.set("resource", LumaMaps::PathOf(*entry.lumaMap).string().c_str());
    }
    if (const std::shared_ptr<EditPropertySetter>& setter = node.GetPropertySetter()) {
        for (const EditPropertySetter::Property& property : setter->GetProperties()) {
            if (!property.name.empty()) {
                service.set(ToUtf8(property.name).c_str(), ToUtf8(property.value).c_str());
            }
        }
    }
}

bool NamesMatch(const std::wstring& name, const wchar_t* wanted) {
    // Property names of the mixer are matched without regard to case.
    const size_t length = std::wcslen(wanted);
    if (name.size() != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (std::towlower(name[i]) != std::towlower(wanted[i])) {
            return false;
        }
    }
    return true;
}

// The gain of an audio source: the product of the "Vol" values of its mixer effects (a value
// that is no number counts as 1, a negative one as 0).
double SourceGain(const EditNode& source) {
    double gain = 1.0;
    for (const std::shared_ptr<EditNode>& effect : source.GetEffects()) {
        const std::optional<Guid> id = ClassOf(*effect);
        const std::shared_ptr<EditPropertySetter>& setter = effect->GetPropertySetter();
        if (!id || *id != kClsidAudMixer || !setter) {
            continue;
        }
        for (const EditPropertySetter::Property& property : setter->GetProperties()) {
            if (!NamesMatch(property.name, L"Vol")) {
                continue;
            }
            // The value is written in the classic locale; from_chars reads it the same way
            // whatever locale the process runs in.
            const std::string text = ToUtf8(property.value);
            double volume = 0.0;
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + text.size(), volume);
            if (error == std::errc() && end == text.data() + text.size() && std::isfinite(volume)) {
                gain *= std::max(volume, 0.0);
            }
        }
    }
    return gain;
}

// The level, in decibels, that MLT takes from a source on its way into the mix of a graph
// played in the given number of channels (negative where it adds), so that a clip at volume
// 1 can be given its source's level back. MLT's sample converter turns 8-bit samples into
// the floats of the mix at half their level. Its resampler spreads a mono source over a
// stereo output at 3 dB below the source on each side, and folds a stereo source into a mono
// output at 3 dB above the mean of its sides (the laws of a centre speaker), where a mono
// source is meant to sound at its own level on both sides and a stereo one at the level of
// its sides. Each is an exact factor, so the gain restores the source's samples.
double EngineLoss(Mlt::Producer& producer, int channels) {
    const char* index = producer.get("audio_index");
    if (index == nullptr || std::atoi(index) < 0) {
        return 0.0;  // no sound, or a producer that is not a media file
    }
    const std::string codec = std::string("meta.media.") + index + ".codec.";
    const double halfPower = 10.0 * std::log10(2.0);
    double loss = 0.0;
    const char* format = producer.get((codec + "sample_fmt").c_str());
    if (format != nullptr && std::strcmp(format, "u8") == 0) {
        loss += 2.0 * halfPower;
    }
    const int sourceChannels = producer.get_int((codec + "channels").c_str());
    if (sourceChannels == 1 && channels == 2) {
        loss += halfPower;
    } else if (sourceChannels == 2 && channels == 1) {
        loss -= halfPower;
    }
    return loss;
}

std::pair<int, int> FrameRateOf(double fps) {
    if (!std::isfinite(fps) || fps <= 0.0) {
        fps = kDefaultFps;
    }
    const double whole = std::round(fps);
    if (whole >= 1.0 && std::abs(fps - whole) < 1e-4) {
        return {static_cast<int>(std::min(whole, 1e6)), 1};
    }
    // The television rates (29.97, 23.976, 59.94) are whole rates slowed by 1000/1001.
    const double television = std::round(fps * 1.001);
    if (television >= 1.0 && std::abs(fps * 1.001 - television) < 1e-3) {
        return {static_cast<int>(std::min(television, 1e6)) * 1000, 1001};
    }
    const int thousandths = static_cast<int>(std::clamp(std::round(fps * 1000.0), 1.0, 1e9));
    const int divisor = std::gcd(thousandths, 1000);
    return {thousandths / divisor, 1000 / divisor};
}

// Gives a picture the pixel shape that makes its size fill the frame exactly. Our graphs also
// stretch every picture through the frames' "distort" flag, but a graph played inside another
// (as melt plays an exported file, in a tractor of its own) gets the outer tractor's flag
// handed down instead; a picture that already has the frame's shape is scaled to the whole
// frame either way.
void FitToFrame(Mlt::Producer& producer, Mlt::Profile& profile) {
    int width = producer.get_int("meta.media.width");  // the picture readers
    int height = producer.get_int("meta.media.height");
    if (width <= 0 || height <= 0) {
        width = producer.get_int("width");  // FFmpeg's reader
        height = producer.get_int("height");
    }
    if (width > 0 && height > 0) {
        producer.set("force_aspect_ratio", profile.dar() * height / width);
    }
}

// One build: the graph of one timeline on one profile, put together track by track.
class Assembly {
  public:
    Assembly(const MltCatalog& catalog, Mlt::Profile& profile, KeyedBitmaps& keyedBitmaps,
             int channels)
        : catalog_(catalog),
          profile_(profile),
          keyedBitmaps_(keyedBitmaps),
          clock_(profile),
          channels_(channels) {}

    std::unique_ptr<Mlt::Tractor> Build(const EditTimeline& timeline);
    /// The files the system made for the graph, with the services that read them.
    std::vector<MadeFile>& MadeFiles() { return made_; }

  private:
    // A transition planted over a track's span, with the inputs it blends.
    struct Blend {
        std::unique_ptr<Mlt::Transition> transition;
        bool swapInputs = false;
    };
    // A track made into a playlist of its sources, with its transitions.
    struct Layer {
        std::unique_ptr<Mlt::Playlist> playlist;
        std::vector<Blend> blends;
        bool empty = true;  // no source at all: nothing to show or blend
    };

    Layer MakeLayer(const EditNode& track, TrackKind kind);
    std::vector<Blend> MakeBlends(const EditNode& track);
    std::unique_ptr<Mlt::Producer> Open(const std::wstring& mediaName, TrackKind kind);
    // Gives a producer the measured length of a file whose container only guesses it.
    void LengthenToMeasured(Mlt::Producer& producer, const std::wstring& mediaName) const;
    std::unique_ptr<Mlt::Producer> Colour(const char* colour, int length);
    std::unique_ptr<Mlt::Filter> MakeEffect(EditNode& node);

    const MltCatalog& catalog_;
    Mlt::Profile& profile_;
    KeyedBitmaps& keyedBitmaps_;
    FrameClock clock_;
    int channels_;    // of the sound the graph is played in
    int length_ = 0;  // the end of everything placed so far, in frames
    std::vector<MadeFile> made_;
};

std::unique_ptr<Mlt::Producer> Assembly::Colour(const char* colour, int length) {
    // Through the loader, so the producer gets the same format converters as the media.
    auto producer =
        std::make_unique<Mlt::Producer>(profile_, (std::string("colour:") + colour).c_str());
    if (!producer->is_valid()) {
        return nullptr;
    }
    producer->set("length", length);
    producer->set_in_and_out(0, length - 1);
    return producer;
}

std::unique_ptr<Mlt::Producer> Assembly::Open(const std::wstring& mediaName, TrackKind kind) {
    std::filesystem::path path = ToPath(mediaName);
    std::error_code error;
    // A file that is not there is known before MLT is asked, which would log its failure.
    if (mediaName.empty() || !std::filesystem::is_regular_file(path, error)) {
        return nullptr;
    }
    // The graph names its files absolutely, so that it plays the same from any folder.
    if (std::filesystem::path absolute = std::filesystem::absolute(path, error); !error) {
        path = std::move(absolute);
    }
    if (kind == TrackKind::Keyed) {
        if (std::optional<std::filesystem::path> png = keyedBitmaps_.PngOf(path)) {
            path = *png;
        }
    }
    auto producer = std::make_unique<Mlt::Producer>(profile_, path.string().c_str());
    if (!producer->is_valid()) {
        return nullptr;
    }
    if (kind == TrackKind::Keyed) {
        // The text clip's bitmap, or the copy of it, lives only as long as the clip.
        made_.push_back({Mlt::Properties(producer->get_properties()), path});
    }
    return producer;
}

void Assembly::LengthenToMeasured(Mlt::Producer& producer, const std::wstring& mediaName) const {
    // MLT believes a length the container only guesses, which for a bare MPEG stream may
    // be a single frame.
    const std::optional<double> seconds = AvStreamLengths::OfFile(ToPath(mediaName).string());
    if (seconds) {
        const int frames = clock_.At(static_cast<int64_t>(*seconds * kUnitsPerSecond));
        if (frames > producer.get_length()) {
            // The producer shows nothing new past its own out point, which its length alone
            // does not move.
            producer.set("length", frames);
            producer.set_in_and_out(0, frames - 1);
        }
    }
}

Assembly::Layer Assembly::MakeLayer(const EditNode& track, TrackKind kind) {
    Layer layer;
    layer.playlist = std::make_unique<Mlt::Playlist>(profile_);
    Mlt::Playlist& playlist = *layer.playlist;
    // The video group gives pictures only and the audio group sound only.
    playlist.set("hide", kind == TrackKind::Audio ? 1 : 2);

    std::vector<const EditNode*> sources;
    for (const std::shared_ptr<EditNode>& source : track.GetSources()) {
        sources.push_back(source.get());
    }
    std::stable_sort(sources.begin(), sources.end(), [](const EditNode* a, const EditNode* b) {
        return a->GetStart() < b->GetStart();
    });

    int cursor = 0;  // the end of the playlist so far
    for (const EditNode* source : sources) {
        FrameSpan span = clock_.Span(source->GetStart(), source->GetStop());
        int mediaIn = clock_.At(source->GetMediaStart());
        if (span.in < cursor) {
            // Overlapping sources: the earlier one keeps the frames they share.
            const int shared = cursor - span.in;
            span = {cursor, span.count - shared};
            mediaIn += shared;
        }
        if (span.count <= 0) {
            continue;
        }
        if (span.in > cursor) {
            playlist.blank(span.in - cursor - 1);
        }

        std::unique_ptr<Mlt::Producer> producer = Open(source->GetMediaName(), kind);
        if (producer) {
            const char* service = producer->get("mlt_service");
            const bool still = service != nullptr && (std::strcmp(service, "qimage") == 0 ||
                                                      std::strcmp(service, "pixbuf") == 0 ||
                                                      std::strcmp(service, "pgm") == 0);
            // A picture lasts as long as its producer says, by default a few minutes.
            if (still && producer->get_length() < mediaIn + span.count) {
                producer->set("length", mediaIn + span.count);
            } else if (producer->get_length() < mediaIn + span.count) {
                LengthenToMeasured(*producer, source->GetMediaName());
            }
            if (kind != TrackKind::Audio) {
                FitToFrame(*producer, profile_);
            }
            playlist.append(*producer, mediaIn, mediaIn + span.count - 1);
            // Settings of the clip itself go on the playlist's cut of the producer, whose
            // frames carry them.
            std::unique_ptr<Mlt::Producer> cut(playlist.get_clip(playlist.count() - 1));
            if (cut && kind != TrackKind::Audio) {
                // Every picture is stretched to the frame, whatever its shape, rather than
                // fitted inside it with bars. A tractor hands its own frame's setting down to
                // the frame of the track it shows, so every tractor above carries it too.
                cut->set("set.distort", 1);
            }
            if (cut && kind == TrackKind::Audio) {
                const double gain = SourceGain(*source);
                const double level =
                    gain > 0.0 ? 20.0 * std::log10(gain) + EngineLoss(*producer, channels_)
                               : kSilenceDb;
                Mlt::Filter volume(profile_, "volume");
                if (level != 0.0 && volume.is_valid()) {
                    volume.set("level", level);
                    // The filter holds any gain to 20 dB unless told otherwise (0: no limit);
                    // a clip at volume 100 is 40 dB louder, whatever it does to the peaks.
                    volume.set("max_gain", "0");
                    cut->attach(volume);
                }
            }
        } else if (kind == TrackKind::Video) {
            // A picture that cannot be read still covers its span, with black.
            if (std::unique_ptr<Mlt::Producer> black = Colour("black", span.count)) {
                playlist.append(*black, 0, span.count - 1);
            }
        }
        // A file shorter than its span, or one that could not be read on a track that lets
        // what lies beneath show through, leaves a gap.
        cursor = playlist.get_playtime();
        if (cursor < span.End()) {
            playlist.blank(span.End() - cursor - 1);
            cursor = span.End();
        }
        layer.empty = false;
        length_ = std::max(length_, span.End());
    }
    if (kind != TrackKind::Audio) {
        layer.blends = MakeBlends(track);
    }
    return layer;
}

std::vector<Assembly::Blend> Assembly::MakeBlends(const EditNode& track) {
    std::vector<Blend> blends;
    for (const std::shared_ptr<EditNode>& node : track.GetTransitions()) {
        const std::optional<Guid> id = ClassOf(*node);
        const FrameSpan span = clock_.Span(node->GetStart(), node->GetStop());
        if (!id || !Placeable(span)) {
            continue;
        }
        Blend blend;
        if (*id == kClsidDxtKey) {
            // The track's pictures over what lies beneath, weighted by their alpha, stretched
            // to the whole frame. The key spans the text clips, so unlike other transitions
            // it never lengthens the timeline on its own.
            blend.transition = std::make_unique<Mlt::Transition>(profile_, "composite");
            if (!blend.transition->is_valid()) {
                continue;
            }
            blend.transition->set("geometry", "0%/0%:100%x100%:100");
            blend.transition->set("fill", 1);
            blend.transition->set("distort", 1);
            blend.transition->set("progressive", 1);
        } else {
            const MltServiceEntry* entry = catalog_.Find(*id);
            if (entry == nullptr || entry->category != DeviceCategory::VideoTransitions ||
                !MltCatalog::EnsureFiles(*entry)) {
                continue;
            }
            blend.transition = std::make_unique<Mlt::Transition>(profile_, entry->service.c_str());
            if (!blend.transition->is_valid()) {
                continue;
            }
            SetProperties(*blend.transition, *entry, *node);
            const char* map = blend.transition->get("resource");
            if (entry->lumaMap && map != nullptr && *map != '\0') {
                made_.push_back({Mlt::Properties(blend.transition->get_properties()), map});
            }
            blend.swapInputs = node->GetSwapInputs();
            length_ = std::max(length_, span.End());
        }
        blend.transition->set_in_and_out(span.in, span.Out());
        blends.push_back(std::move(blend));
    }
    return blends;
}

std::unique_ptr<Mlt::Filter> Assembly::MakeEffect(EditNode& node) {
    const std::optional<Guid> id = ClassOf(node);
    const FrameSpan span = clock_.Span(node.GetStart(), node.GetStop());
    const MltServiceEntry* entry = id ? catalog_.Find(*id) : nullptr;
    if (entry == nullptr || entry->category != DeviceCategory::VideoEffects || !Placeable(span) ||
        !MltCatalog::EnsureFiles(*entry)) {
        return nullptr;
    }
    auto filter = std::make_unique<Mlt::Filter>(profile_, entry->service.c_str());
    if (!filter->is_valid()) {
        return nullptr;
    }
    SetProperties(*filter, *entry, node);
    filter->set_in_and_out(span.in, span.Out());
    length_ = std::max(length_, span.End());
    return filter;
}

std::unique_ptr<Mlt::Tractor> Assembly::Build(const EditTimeline& timeline) {
    std::vector<Layer> pictures;
    std::vector<std::unique_ptr<Mlt::Filter>> effects;
    if (const EditNode* group = FindGroup(timeline, true)) {
        for (const std::shared_ptr<EditNode>& track : group->GetTracks()) {
            if (track->IsMuted()) {
                continue;
            }
            bool keyed = false;
            for (const std::shared_ptr<EditNode>& transition : track->GetTransitions()) {
                keyed = keyed || ClassOf(*transition) == kClsidDxtKey;
            }
            pictures.push_back(MakeLayer(*track, keyed ? TrackKind::Keyed : TrackKind::Video));
        }
        for (const std::shared_ptr<EditNode>& effect : group->GetEffects()) {
            if (std::unique_ptr<Mlt::Filter> filter = MakeEffect(*effect)) {
                effects.push_back(std::move(filter));
            }
        }
    }
    std::vector<Layer> sounds;
    if (const EditNode* group = FindGroup(timeline, false)) {
        for (const std::shared_ptr<EditNode>& track : group->GetTracks()) {
            if (!track->IsMuted()) {
                sounds.push_back(MakeLayer(*track, TrackKind::Audio));
            }
        }
    }

    // An empty timeline still plays one frame of black silence: MLT has no graph of length
    // zero that every consumer opens.
    const int length = std::max(length_, 1);
    // Black pictures and real (not missing) silence beneath everything, so that the first
    // transition of a track and the first audio mix always have something to blend with.
    std::unique_ptr<Mlt::Producer> composite = Colour("black", length);
    if (!composite) {
        return nullptr;
    }
    composite->set("set.test_audio", 0);

    // Each video track is layered over the composite of the tracks before it in a tractor of
    // its own: where the track has a source, MLT shows that track's picture as it is (a later
    // track covers an earlier one), elsewhere the composite beneath; its transitions blend
    // the two for their spans.
    for (Layer& layer : pictures) {
        if (layer.empty) {
            continue;
        }
        auto tractor = std::make_unique<Mlt::Tractor>(profile_);
        tractor->set("set.distort", 1);
        tractor->set_track(*composite, 0);
        tractor->set_track(*layer.playlist, 1);
        for (Blend& blend : layer.blends) {
            // MLT blends from the lower track to the higher one; swapped inputs name them the
            // other way round, and MLT then blends from the track to what lies beneath.
            tractor->plant_transition(*blend.transition, blend.swapInputs ? 1 : 0,
                                      blend.swapInputs ? 0 : 1);
        }
        composite = std::move(tractor);
    }
    for (std::unique_ptr<Mlt::Filter>& effect : effects) {
        composite->attach(*effect);
    }

    auto graph = std::make_unique<Mlt::Tractor>(profile_);
    graph->set("set.distort", 1);
    graph->set_track(*composite, 0);
    int index = 1;
    for (Layer& layer : sounds) {
        if (layer.empty) {
            continue;
        }
        graph->set_track(*layer.playlist, index);
        Mlt::Transition mix(profile_, "mix");
        if (mix.is_valid()) {
            // Summed, as a mixer adds its inputs, rather than cross-faded.
            mix.set("always_active", 1);
            mix.set("sum", 1);
            graph->plant_transition(mix, 0, index);
        }
        ++index;
    }
    return graph;
}

// Copies the made files into a folder of their own and points their services at the copies,
// so that the graph no longer reads from the cache or temporary folder, which may be emptied;
// copies of earlier exports that the graph no longer names are removed. False when a file
// cannot be copied.
bool KeepBeside(std::vector<MadeFile>& made, const std::filesystem::path& folder) {
    std::error_code error;
    std::map<std::filesystem::path, std::filesystem::path> copies;  // made file -> its copy
    std::set<std::filesystem::path> names;
    for (MadeFile& file : made) {
        auto [copy, added] = copies.try_emplace(file.file);
        if (added) {
            // Wipe maps and text pictures have names of their own kinds; a counter keeps
            // apart two files of one name from different folders all the same.
            std::filesystem::path name = file.file.filename();
            for (int n = 2; names.contains(name); ++n) {
                name = std::to_string(n) + "-" + file.file.filename().string();
            }
            names.insert(name);
            copy->second = folder / name;
            std::filesystem::create_directory(folder, error);
            const std::optional<std::string> bytes = ReadFileBytes(file.file);
            if (error || !bytes || !WriteFileAtomically(copy->second, *bytes)) {
                return false;
            }
        }
        file.service.set("resource", copy->second.string().c_str());
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string extension = entry.path().extension().string();
        std::error_code ignored;
        if (!names.contains(entry.path().filename()) && entry.is_regular_file(ignored) &&
            (extension == ".png" || extension == ".pgm" || extension == ".bmp")) {
            std::filesystem::remove(entry.path(), ignored);
        }
    }
    return true;
}

}  // namespace

MltGraphBuilder::MltGraphBuilder(const MltCatalog& catalog) : catalog_(catalog) {}

std::unique_ptr<Mlt::Profile> MltGraphBuilder::MakeProfile(const EditTimeline& timeline) const {
    MltRuntime::Repository();
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    double fps = kDefaultFps;
    if (const EditNode* group = FindGroup(timeline, true)) {
        const auto& type = std::get<VideoMediaType>(group->GetMediaType());
        if (type.width > 0 && type.height != 0) {
            width = type.width;
            // A negative height is a top-down picture of the same size.
            height = std::abs(type.height);
        }
        fps = group->GetOutputFPS().value_or(kDefaultFps);
    }
    const auto [num, den] = FrameRateOf(fps);

    auto profile = std::make_unique<Mlt::Profile>();
    profile->set_width(width);
    profile->set_height(height);
    profile->set_sample_aspect(1, 1);
    const int divisor = std::gcd(width, height);
    profile->set_display_aspect(width / divisor, height / divisor);
    profile->set_frame_rate(num, den);
    profile->set_progressive(1);
    profile->set_colorspace(601);
    profile->set_explicit(1);
    mlt_profile raw = profile->get_profile();
    std::free(raw->description);
    raw->description = strdup(("Vortrel " + std::to_string(width) + "x" + std::to_string(height) +
                               " " + std::to_string(num) + "/" + std::to_string(den) + " fps")
                                  .c_str());
    return profile;
}

std::unique_ptr<Mlt::Tractor> MltGraphBuilder::Build(const EditTimeline& timeline,
                                                     Mlt::Profile& profile, int channels) const {
    MltRuntime::Repository();
    return Assembly(catalog_, profile, keyedBitmaps_, channels).Build(timeline);
}

std::filesystem::path MltGraphBuilder::AssetsFolder(const std::filesystem::path& xml) {
    std::filesystem::path folder = xml;
    if (folder.replace_extension(".assets") == xml) {
        folder += ".assets";  // the file itself is named *.assets
    }
    return folder;
}

bool MltGraphBuilder::ExportXml(const EditTimeline& timeline, const std::string& path) const {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::absolute(path, error);
    // The folder of the file must be there already; only the assets folder is made in it.
    if (error || target.filename().empty() ||
        !std::filesystem::is_directory(target.parent_path(), error)) {
        return false;
    }
    std::unique_ptr<Mlt::Profile> profile;
    std::unique_ptr<Mlt::Tractor> graph;
    std::vector<MadeFile> made;
    try {
        profile = MakeProfile(timeline);
        // melt plays an exported graph in stereo unless told otherwise.
        Assembly assembly(catalog_, *profile, keyedBitmaps_, 2);
        graph = assembly.Build(timeline);
        made = std::move(assembly.MadeFiles());
    } catch (const std::exception&) {
        return false;  // MLT could not be started
    }
    if (!graph || !KeepBeside(made, AssetsFolder(target))) {
        return false;
    }
    // The consumer writes into one of its own properties (a resource without a dot names a
    // property), and the file is written here, so that any path works and a failure shows.
    Mlt::Consumer consumer(*profile, "xml", "vortrel_xml");
    if (!consumer.is_valid()) {
        return false;
    }
    consumer.set("no_meta", 1);
    // Of the properties of tractors, playlists and cuts the consumer keeps only those with
    // this prefix: the "set." ones that stretch every picture.
    consumer.set("store", "set.");
    // Every path stays absolute, as the graph names it: the consumer would write the paths
    // under its root (the working folder when none is given) relative to that root.
    consumer.set("root", "");
    consumer.set("no_root", 1);
    consumer.connect(*graph);
    consumer.start();
    const char* xml = consumer.get("vortrel_xml");
    return xml != nullptr && *xml != '\0' && WriteFileAtomically(target, xml);
}

}  // namespace vortrel
