#pragma once

#include <windows.h>

#include <ocidl.h>
#include <oleauto.h>

#include <memory>

#include <VortrelLib.h>
#include "platform/windows/com/EventConnectionPoint.h"
#include "platform/windows/com/OleControlParts.h"

namespace vortrel {
class CTimelineControl;
}

namespace vortrel::com {

// The COM face of the timeline control: the dual ITimelineControl over the portable
// CTimelineControl, IDispatch answered from the type library, error information, class
// information and the connection point of the events; the OLE control interfaces that let a
// container host it in place are parts of their own (OleControlParts). BSTRs, VARIANT_BOOLs and out
// parameters are converted here and nowhere else. The object can be aggregated: its own
// IUnknown (Inner) then keeps its identity and every other interface delegates to the
// outer object. While it lives it holds a lock on the module.
class ComTimelineControl final : public ::ITimelineControl,
                                 public ISupportErrorInfo,
                                 public IProvideClassInfo2,
                                 public IConnectionPointContainer {
  public:
    /// Makes and initialises an object, aggregated in outer when it is given; the object
    /// starts with one reference on its own unknown. E_FAIL when the control cannot start.
    static HRESULT Create(IUnknown* outer, IUnknown** inner);

    ComTimelineControl(const ComTimelineControl&) = delete;
    ComTimelineControl& operator=(const ComTimelineControl&) = delete;

    // IUnknown, delegating to the controlling unknown.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    // ISupportErrorInfo.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // IProvideClassInfo2.
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // ITimelineControl.
    HRESULT STDMETHODCALLTYPE AddVideoClip(int trackIndex, BSTR fileName, float clipStartTime,
                                           float clipStopTime, float mediaTime,
                                           int* clipIndex) override;
    HRESULT STDMETHODCALLTYPE AddAudioClip(int trackIndex, BSTR fileName, float clipStartTime,
                                           float clipStopTime, float mediaTime, float volume,
                                           int* clipIndex) override;
    HRESULT STDMETHODCALLTYPE AddTextClip(int trackIndex, BSTR text, float clipStartTime,
                                          float clipStopTime, int font, int x, int y, ULONG color,
                                          int* clipIndex) override;
    HRESULT STDMETHODCALLTYPE DeleteClip(int trackIndex, int clipIndex) override;
    HRESULT STDMETHODCALLTYPE GetVideoClip(int trackIndex, int clipIndex, BSTR* fileName,
                                           float* clipStartTime, float* clipStopTime,
                                           float* mediaTime) override;
    HRESULT STDMETHODCALLTYPE GetAudioClip(int trackIndex, int clipIndex, BSTR* fileName,
                                           float* clipStartTime, float* clipStopTime,
                                           float* mediaTime, float* volume) override;
    HRESULT STDMETHODCALLTYPE GetTextClip(int trackIndex, int clipIndex, BSTR* text,
                                          float* clipStartTime, float* clipStopTime, int* font,
                                          int* x, int* y, ULONG* color) override;
    HRESULT STDMETHODCALLTYPE AddTransition(int trackIndex, BSTR name, float startTime,
                                            float stopTime, BSTR params, int mediaTrackIndex,
                                            LONG reverseDirection, int* transitionIndex) override;
    HRESULT STDMETHODCALLTYPE DeleteTransition(int trackIndex, int transitionIndex) override;
    HRESULT STDMETHODCALLTYPE GetTransition(int trackIndex, int transitionIndex, BSTR* name,
                                            float* startTime, float* stopTime, BSTR* params,
                                            int* mediaTrackIndex, LONG* reverseDirection) override;
    HRESULT STDMETHODCALLTYPE AddEffect(int trackIndex, BSTR name, float startTime, float stopTime,
                                        BSTR params, int* effectIndex) override;
    HRESULT STDMETHODCALLTYPE DeleteEffect(int trackIndex, int effectIndex) override;
    HRESULT STDMETHODCALLTYPE GetEffect(int trackIndex, int effectIndex, BSTR* name,
                                        float* startTime, float* stopTime, BSTR* params) override;
    HRESULT STDMETHODCALLTYPE GetTrackCount(int* trackCount) override;
    HRESULT STDMETHODCALLTYPE GetClipCount(int trackIndex, int* clipCount) override;
    HRESULT STDMETHODCALLTYPE GetTransitionCount(int trackIndex, int* transitionCount) override;
    HRESULT STDMETHODCALLTYPE GetEffectCount(int trackIndex, int* effectCount) override;
    HRESULT STDMETHODCALLTYPE SetPreviewWnd(int hwnd) override;
    HRESULT STDMETHODCALLTYPE Play() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE SetTrackVisible(int trackIndex, LONG visibility) override;
    HRESULT STDMETHODCALLTYPE SetScale(float scale) override;
    HRESULT STDMETHODCALLTYPE GetScale(float* scale) override;
    HRESULT STDMETHODCALLTYPE GetVideo1TrackIndex(int* index) override;
    HRESULT STDMETHODCALLTYPE GetImageTrackIndex(int* index) override;
    HRESULT STDMETHODCALLTYPE GetTextTrackIndex(int* index) override;
    HRESULT STDMETHODCALLTYPE GetTransitionTrackIndex(int* index) override;
    HRESULT STDMETHODCALLTYPE GetEffectTrackIndex(int* index) override;
    HRESULT STDMETHODCALLTYPE GetAudio1TrackIndex(int* index) override;
    HRESULT STDMETHODCALLTYPE GetAudio2TrackIndex(int* index) override;
    HRESULT STDMETHODCALLTYPE AddImageClip(int trackIndex, BSTR fileName, float clipStartTime,
                                           float clipStopTime, int* clipIndex) override;
    HRESULT STDMETHODCALLTYPE GetImageClip(int trackIndex, int clipIndex, BSTR* fileName,
                                           float* clipStartTime, float* clipStopTime) override;
    HRESULT STDMETHODCALLTYPE GetDESTransition(int index, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE GetDESEffect(int index, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE GetVideo2TrackIndex(int* index) override;
    HRESULT STDMETHODCALLTYPE GetAudioEncoder(int index, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_AVIVideoCompressor(int* value) override;
    HRESULT STDMETHODCALLTYPE put_AVIVideoCompressor(int value) override;
    HRESULT STDMETHODCALLTYPE get_AVIAudioCompressor(int* value) override;
    HRESULT STDMETHODCALLTYPE put_AVIAudioCompressor(int value) override;
    HRESULT STDMETHODCALLTYPE get_OutputType(int* value) override;
    HRESULT STDMETHODCALLTYPE put_OutputType(int value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGAspectRatio(int* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGAspectRatio(int value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGAC3(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGAC3(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGAudioChannels(int* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGAudioChannels(int value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGAudioSampleRate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGAudioSampleRate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGHeight(int* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGHeight(int value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGWidth(int* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGWidth(int value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGVideoBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGVideoBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGAudioBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGAudioBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGFrameRate(float* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGFrameRate(float value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGBufferSize(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGBufferSize(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGVideoMaxBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGVideoMaxBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MPEGVideoMinBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MPEGVideoMinBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_AVCHDAspectRatio(int* value) override;
    HRESULT STDMETHODCALLTYPE put_AVCHDAspectRatio(int value) override;
    HRESULT STDMETHODCALLTYPE get_AVCHDAudioBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_AVCHDAudioBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_AVCHDAudioChannels(int* value) override;
    HRESULT STDMETHODCALLTYPE put_AVCHDAudioChannels(int value) override;
    HRESULT STDMETHODCALLTYPE get_AVCHDAudioSampleRate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_AVCHDAudioSampleRate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_AVCHDHeight(int* value) override;
    HRESULT STDMETHODCALLTYPE put_AVCHDHeight(int value) override;
    HRESULT STDMETHODCALLTYPE get_AVCHDVideoBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_AVCHDVideoBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_AVCHDVideoFrameRate(float* value) override;
    HRESULT STDMETHODCALLTYPE put_AVCHDVideoFrameRate(float value) override;
    HRESULT STDMETHODCALLTYPE get_AVCHDWidth(int* value) override;
    HRESULT STDMETHODCALLTYPE put_AVCHDWidth(int value) override;
    HRESULT STDMETHODCALLTYPE get_FLVAudioBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_FLVAudioBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_FLVAudioChannels(int* value) override;
    HRESULT STDMETHODCALLTYPE put_FLVAudioChannels(int value) override;
    HRESULT STDMETHODCALLTYPE get_FLVAudioSampleRate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_FLVAudioSampleRate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_FLVFrameRate(float* value) override;
    HRESULT STDMETHODCALLTYPE put_FLVFrameRate(float value) override;
    HRESULT STDMETHODCALLTYPE get_FLVHeight(int* value) override;
    HRESULT STDMETHODCALLTYPE put_FLVHeight(int value) override;
    HRESULT STDMETHODCALLTYPE get_FLVVideoBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_FLVVideoBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_FLVWidth(int* value) override;
    HRESULT STDMETHODCALLTYPE put_FLVWidth(int value) override;
    HRESULT STDMETHODCALLTYPE GetMediaDuration(BSTR strMediaFile, float* iDuration) override;
    HRESULT STDMETHODCALLTYPE GetMediaInfo(BSTR strMediaFile, float* iDuration, LONG* iWidth,
                                           LONG* iHeight, float* iFrameRate, LONG* iVideoBitRate,
                                           LONG* iAudioBitRate, LONG* iAudioSampleRate,
                                           LONG* iAudioChannels, LONG* iVideoStreamCount,
                                           LONG* iAudioStreamCount, BSTR* strMediaContainer,
                                           BSTR* strVideoStreamFormat,
                                           BSTR* strAudioStreamFormat) override;
    HRESULT STDMETHODCALLTYPE ChangeVideoClip(int trackIndex, int clipIndex, BSTR fileName,
                                              float clipStartTime, float clipStopTime,
                                              float mediaTime, int* result) override;
    HRESULT STDMETHODCALLTYPE ChangeAudioClip(int trackIndex, int clipIndex, BSTR fileName,
                                              float clipStartTime, float clipStopTime,
                                              float mediaTime, float volume, int* result) override;
    HRESULT STDMETHODCALLTYPE ChangeTextClip(int trackIndex, int clipIndex, BSTR text,
                                             float clipStartTime, float clipStopTime, int font,
                                             int x, int y, ULONG color, int* result) override;
    HRESULT STDMETHODCALLTYPE ChangeTransition(int trackIndex, int transitionIndex, BSTR name,
                                               float startTime, float stopTime, BSTR params,
                                               int mediaTrackIndex, LONG reverseDirection,
                                               int* result) override;
    HRESULT STDMETHODCALLTYPE ChangeEffect(int trackIndex, int effectIndex, BSTR name,
                                           float startTime, float stopTime, BSTR params,
                                           int* result) override;
    HRESULT STDMETHODCALLTYPE ChangeImageClip(int trackIndex, int clipIndex, BSTR fileName,
                                              float clipStartTime, float clipStopTime,
                                              int* result) override;
    HRESULT STDMETHODCALLTYPE LoadProject(BSTR fileName, LONG* result) override;
    HRESULT STDMETHODCALLTYPE SaveProject(BSTR fileName, LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_MP4AspectRatio(int* value) override;
    HRESULT STDMETHODCALLTYPE put_MP4AspectRatio(int value) override;
    HRESULT STDMETHODCALLTYPE get_MP4AudioBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MP4AudioBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MP4AudioChannels(int* value) override;
    HRESULT STDMETHODCALLTYPE put_MP4AudioChannels(int value) override;
    HRESULT STDMETHODCALLTYPE get_MP4AudioSampleRate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MP4AudioSampleRate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MP4Framerate(float* value) override;
    HRESULT STDMETHODCALLTYPE put_MP4Framerate(float value) override;
    HRESULT STDMETHODCALLTYPE get_MP4Height(int* value) override;
    HRESULT STDMETHODCALLTYPE put_MP4Height(int value) override;
    HRESULT STDMETHODCALLTYPE get_MP4VideoBitrate(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_MP4VideoBitrate(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_MP4Width(int* value) override;
    HRESULT STDMETHODCALLTYPE put_MP4Width(int value) override;
    HRESULT STDMETHODCALLTYPE get_MP4H264Preset(int* value) override;
    HRESULT STDMETHODCALLTYPE put_MP4H264Preset(int value) override;
    HRESULT STDMETHODCALLTYPE Save(BSTR fileName, int* result) override;
    HRESULT STDMETHODCALLTYPE ChangeTrackImage(int index, BSTR strImage) override;
    HRESULT STDMETHODCALLTYPE StopConversion() override;
    HRESULT STDMETHODCALLTYPE GetWMVProfile(int index, BSTR* strName) override;
    HRESULT STDMETHODCALLTYPE get_WMVProfile(int* value) override;
    HRESULT STDMETHODCALLTYPE put_WMVProfile(int value) override;
    HRESULT STDMETHODCALLTYPE GetVideoEncoder(int index, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE SetVideoTrackResolution(int iWidth, int iHeight) override;
    HRESULT STDMETHODCALLTYPE get_IsPlaying(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_IsPause(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE AddTextClip2(int trackIndex, BSTR text, float clipStartTime,
                                           float clipStopTime, int font, int x, int y, int red,
                                           int green, int blue, int* clipIndex) override;
    HRESULT STDMETHODCALLTYPE ChangeTextClip2(int trackIndex, int clipIndex, BSTR text,
                                              float clipStartTime, float clipStopTime, int font,
                                              int x, int y, int red, int green, int blue,
                                              int* result) override;
    HRESULT STDMETHODCALLTYPE GetTextClip2(int trackIndex, int clipIndex, BSTR* text,
                                           float* clipStartTime, float* clipStopTime, int* font,
                                           int* x, int* y, int* red, int* green,
                                           int* blue) override;
    HRESULT STDMETHODCALLTYPE get_SkipBlackPosterFrame(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_SkipBlackPosterFrame(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE SetVideoTrackFrameRate(float iFrameRate) override;

  private:
    // The object's own unknown: the only one that counts references and answers for
    // identity when the object is aggregated.
    class InnerUnknown final : public IUnknown {
      public:
        explicit InnerUnknown(ComTimelineControl& object) : object_(object) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;

      private:
        ComTimelineControl& object_;
    };

    explicit ComTimelineControl(IUnknown* outer);
    ~ComTimelineControl();

    // Loads the type library from the module and starts the control; raises when it cannot.
    void Initialize();

    InnerUnknown inner_;
    IUnknown* outer_;  // the controlling unknown: the outer object, or inner_
    volatile LONG refs_ = 1;
    ITypeLib* library_ = nullptr;
    ITypeInfo* typeInfo_ = nullptr;
    EventConnectionPoint events_;
    std::unique_ptr<CTimelineControl> control_;
    // After the control, which its window serves; it goes first.
    std::unique_ptr<OleControlParts> ole_;
};

}  // namespace vortrel::com
