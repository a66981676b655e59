#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/av/AvSupport.h"

namespace vortrel {

// Where the benchmarks' plain FFmpeg references start: a file's best stream of one kind,
// every other stream discarded, with an open decoder for it.
struct ReferenceStream {
    av::FormatContextPtr format;
    av::CodecContextPtr decoder;
    int index = -1;

    const AVStream& Stream() const { return *format->streams[index]; }
};

/// Opens a file's best stream of a kind and its decoder (with that many threads, 0 for
/// FFmpeg's default); throws std::runtime_error when it cannot.
inline ReferenceStream OpenReferenceStream(const std::filesystem::path& file, AVMediaType kind,
                                           int threads = 0) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, file.c_str(), nullptr, nullptr) < 0) {
        throw std::runtime_error("cannot open " + file.string());
    }
    ReferenceStream reference;
    reference.format.reset(opened);
    avformat_find_stream_info(opened, nullptr);
    const AVCodec* codec = nullptr;
    reference.index = av_find_best_stream(opened, kind, -1, -1, &codec, 0);
    if (reference.index < 0) {
        throw std::runtime_error("no " + std::string(av_get_media_type_string(kind)) + " in " +
                                 file.string());
    }
    for (unsigned i = 0; i < opened->nb_streams; ++i) {
        opened->streams[i]->discard =
            static_cast<int>(i) == reference.index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    const AVStream& stream = reference.Stream();
    reference.decoder.reset(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(reference.decoder.get(), stream.codecpar);
    reference.decoder->pkt_timebase = stream.time_base;
    if (threads > 0) {
        reference.decoder->thread_count = threads;
    }
    if (avcodec_open2(reference.decoder.get(), codec, nullptr) < 0) {
        throw std::runtime_error("cannot decode " + file.string());
    }
    return reference;
}

}  // namespace vortrel
