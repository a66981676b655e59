#include "control/ControlMembers.h"

#include <array>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

namespace vortrel {

namespace {

// How one C++ parameter type of the interface crosses as a value. In-parameters are values
// or wide C strings; out-parameters are pointers to something the call fills.
template <typename T>
struct Param;

template <>
struct Param<int32_t> {
    static constexpr ValueType kType = ValueType::Int;
    static int32_t In(const ControlValue& v) { return std::get<int32_t>(v); }
};
template <>
struct Param<uint32_t> {
    static constexpr ValueType kType = ValueType::UInt;
    static uint32_t In(const ControlValue& v) { return std::get<uint32_t>(v); }
};
template <>
struct Param<float> {
    static constexpr ValueType kType = ValueType::Float;
    static float In(const ControlValue& v) { return std::get<float>(v); }
};
template <>
struct Param<int16_t> {
    static constexpr ValueType kType = ValueType::Bool;
    static int16_t In(const ControlValue& v) { return std::get<int16_t>(v); }
};
template <>
struct Param<const wchar_t*> {
    static constexpr ValueType kType = ValueType::String;
    static const wchar_t* In(const ControlValue& v) {
        const OutString& text = std::get<OutString>(v);
        return text ? text->c_str() : nullptr;
    }
};

template <typename T>
constexpr bool kIsOut = std::is_pointer_v<T> && !std::is_const_v<std::remove_pointer_t<T>>;

// What a parameter keeps during a call: nothing for an in-parameter, the value for an out.
template <typename T>
using Slot = std::conditional_t<kIsOut<T>, std::remove_pointer_t<T>, std::monostate>;

template <typename T>
ValueType TypeOf() {
    if constexpr (kIsOut<T>) {
        return Param<std::remove_pointer_t<T>>::kType;
    } else {
        return Param<T>::kType;
    }
}

template <>
ValueType TypeOf<OutString*>() {
    return ValueType::String;
}

// The argument for the parameter at position I: the next in-value, or a pointer to its slot.
template <typename T, typename S>
decltype(auto) Argument(const std::vector<ControlValue>& ins, size_t inIndex, S& slot) {
    if constexpr (kIsOut<T>) {
        return &slot;
    } else {
        return Param<T>::In(ins[inIndex]);
    }
}

template <typename... Args>
constexpr std::array<size_t, sizeof...(Args)> InIndices() {
    constexpr std::array<bool, sizeof...(Args)> out = {kIsOut<Args>...};
    std::array<size_t, sizeof...(Args)> indices{};
    size_t next = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        indices[i] = next;
        next += out[i] ? 0 : 1;
    }
    return indices;
}

template <typename... Args, size_t... I>
void Call(ITimelineControl& control, HResult (ITimelineControl::*method)(Args...),
          const std::vector<ControlValue>& ins, std::vector<ControlValue>& outs,
          std::index_sequence<I...>) {
    [[maybe_unused]] constexpr auto inIndex = InIndices<Args...>();
    std::tuple<Slot<Args>...> slots{};
    (control.*method)(Argument<Args>(ins, inIndex[I], std::get<I>(slots))...);
    outs.clear();
    (
        [&] {
            if constexpr (kIsOut<Args>) {
                outs.emplace_back(std::get<I>(slots));
            }
        }(),
        ...);
}

template <typename... Args>
ControlMember Bind(const char* name, int32_t dispatchId, MemberKind kind,
                   HResult (ITimelineControl::*method)(Args...)) {
    ControlMember member{name, dispatchId, kind, {}, {}, nullptr};
    ((kIsOut<Args> ? member.outs : member.ins).push_back(TypeOf<Args>()), ...);
    member.invoke = [method](ITimelineControl& control, const std::vector<ControlValue>& ins,
                             std::vector<ControlValue>& outs) {
        Call(control, method, ins, outs, std::index_sequence_for<Args...>{});
    };
    return member;
}

// A member whose out-parameter at a position is a font handle.
ControlMember WithFontOut(ControlMember member, size_t position) {
    member.outs.at(position) = ValueType::Font;
    return member;
}

// A member whose in-parameter at a position is a font handle.
ControlMember WithFontIn(ControlMember member, size_t position) {
    member.ins.at(position) = ValueType::Font;
    return member;
}

std::vector<ControlMember> MakeMembers() {
    using I = ITimelineControl;
    constexpr auto kMethod = MemberKind::Method;
    constexpr auto kGet = MemberKind::PropertyGet;
    constexpr auto kPut = MemberKind::PropertyPut;
    std::vector<ControlMember> members = {
        Bind("AddVideoClip", 0x1, kMethod, &I::AddVideoClip),
        Bind("AddAudioClip", 0x2, kMethod, &I::AddAudioClip),
        WithFontIn(Bind("AddTextClip", 0x3, kMethod, &I::AddTextClip), 4),
        Bind("DeleteClip", 0x7, kMethod, &I::DeleteClip),
        Bind("GetVideoClip", 0x8, kMethod, &I::GetVideoClip),
        Bind("GetAudioClip", 0x9, kMethod, &I::GetAudioClip),
        WithFontOut(Bind("GetTextClip", 0xa, kMethod, &I::GetTextClip), 3),
        Bind("AddTransition", 0xb, kMethod, &I::AddTransition),
        Bind("DeleteTransition", 0xd, kMethod, &I::DeleteTransition),
        Bind("GetTransition", 0xe, kMethod, &I::GetTransition),
        Bind("AddEffect", 0xf, kMethod, &I::AddEffect),
        Bind("DeleteEffect", 0x11, kMethod, &I::DeleteEffect),
        Bind("GetEffect", 0x12, kMethod, &I::GetEffect),
        Bind("GetTrackCount", 0x13, kMethod, &I::GetTrackCount),
        Bind("GetClipCount", 0x14, kMethod, &I::GetClipCount),
        Bind("GetTransitionCount", 0x15, kMethod, &I::GetTransitionCount),
        Bind("GetEffectCount", 0x16, kMethod, &I::GetEffectCount),
        Bind("SetPreviewWnd", 0x18, kMethod, &I::SetPreviewWnd),
        Bind("Play", 0x19, kMethod, &I::Play),
        Bind("Pause", 0x60020013, kMethod, &I::Pause),
        Bind("Stop", 0x60020014, kMethod, &I::Stop),
        Bind("Clear", 0x1a, kMethod, &I::Clear),
        Bind("SetTrackVisible", 0x1f, kMethod, &I::SetTrackVisible),
        Bind("SetScale", 0x24, kMethod, &I::SetScale),
        Bind("GetScale", 0x25, kMethod, &I::GetScale),
        Bind("GetVideo1TrackIndex", 0x28, kMethod, &I::GetVideo1TrackIndex),
        Bind("GetImageTrackIndex", 0x29, kMethod, &I::GetImageTrackIndex),
        Bind("GetTextTrackIndex", 0x2a, kMethod, &I::GetTextTrackIndex),
        Bind("GetTransitionTrackIndex", 0x2b, kMethod, &I::GetTransitionTrackIndex),
        Bind("GetEffectTrackIndex", 0x2c, kMethod, &I::GetEffectTrackIndex),
        Bind("GetAudio1TrackIndex", 0x2d, kMethod, &I::GetAudio1TrackIndex),
        Bind("GetAudio2TrackIndex", 0x2e, kMethod, &I::GetAudio2TrackIndex),
        Bind("AddImageClip", 0x2f, kMethod, &I::AddImageClip),
        Bind("GetImageClip", 0x31, kMethod, &I::GetImageClip),
        Bind("GetDESTransition", 0x32, kMethod, &I::GetDESTransition),
        Bind("GetDESEffect", 0x33, kMethod, &I::GetDESEffect),
        Bind("GetVideo2TrackIndex", 0x34, kMethod, &I::GetVideo2TrackIndex),
        Bind("GetAudioEncoder", 0x36, kMethod, &I::GetAudioEncoder),
        Bind("GetMediaDuration", 0x55, kMethod, &I::GetMediaDuration),
        Bind("GetMediaInfo", 0x56, kMethod, &I::GetMediaInfo),
        Bind("ChangeVideoClip", 0x57, kMethod, &I::ChangeVideoClip),
        Bind("ChangeAudioClip", 0x58, kMethod, &I::ChangeAudioClip),
        WithFontIn(Bind("ChangeTextClip", 0x59, kMethod, &I::ChangeTextClip), 5),
        Bind("ChangeTransition", 0x5a, kMethod, &I::ChangeTransition),
        Bind("ChangeEffect", 0x5b, kMethod, &I::ChangeEffect),
        Bind("ChangeImageClip", 0x5c, kMethod, &I::ChangeImageClip),
        Bind("LoadProject", 0x5d, kMethod, &I::LoadProject),
        Bind("SaveProject", 0x5e, kMethod, &I::SaveProject),
        Bind("Save", 0x68, kMethod, &I::Save),
        Bind("ChangeTrackImage", 0x69, kMethod, &I::ChangeTrackImage),
        Bind("StopConversion", 0x6a, kMethod, &I::StopConversion),
        Bind("GetWMVProfile", 0x6b, kMethod, &I::GetWMVProfile),
        Bind("GetVideoEncoder", 0x6d, kMethod, &I::GetVideoEncoder),
        Bind("SetVideoTrackResolution", 0x6e, kMethod, &I::SetVideoTrackResolution),
        Bind("IsPlaying", 0x6f, kGet, &I::get_IsPlaying),
        Bind("IsPause", 0x70, kGet, &I::get_IsPause),
        WithFontIn(Bind("AddTextClip2", 0x71, kMethod, &I::AddTextClip2), 4),
        WithFontIn(Bind("ChangeTextClip2", 0x72, kMethod, &I::ChangeTextClip2), 5),
        WithFontOut(Bind("GetTextClip2", 0x73, kMethod, &I::GetTextClip2), 3),
        Bind("SkipBlackPosterFrame", 0x75, kGet, &I::get_SkipBlackPosterFrame),
        Bind("SkipBlackPosterFrame", 0x75, kPut, &I::put_SkipBlackPosterFrame),
        Bind("SetVideoTrackFrameRate", 0x76, kMethod, &I::SetVideoTrackFrameRate),
    };
#define VORTREL_BIND_PROPERTY(Type, Name, DispId, Default, Storage) \
    members.push_back(Bind(#Name, DispId, kGet, &I::get_##Name));   \
    members.push_back(Bind(#Name, DispId, kPut, &I::put_##Name));
    VORTREL_OUTPUT_PROPERTIES(VORTREL_BIND_PROPERTY)
#undef VORTREL_BIND_PROPERTY
    return members;
}

}  // namespace

const std::vector<ControlMember>& ControlMembers() {
    static const std::vector<ControlMember> members = MakeMembers();
    return members;
}

const ControlMember* FindControlMember(std::string_view name, MemberKind kind) {
    for (const ControlMember& member : ControlMembers()) {
        if (member.kind == kind && name == member.name) {
            return &member;
        }
    }
    return nullptr;
}

}  // namespace vortrel
