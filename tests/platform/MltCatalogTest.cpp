#include "platform/linux/MltCatalog.h"

#include <gtest/gtest.h>
#include <mlt++/Mlt.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "MltPicture.h"
#include "platform/linux/LumaMaps.h"
#include "platform/linux/MltRuntime.h"

namespace vortrel {
namespace {

// Our friendly names are plain ASCII.
std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Saved projects name effects, transitions and compressors by these ids. The names themselves are
// listed by the des_names and encoders call scripts.
TEST(MltCatalog, ListsUniqueNamesUnderParsableClassIdsThatStayTheSame) {
    MltCatalog catalog, again;
    std::set<std::wstring> names[2];  // of services, of compressors
    std::set<Guid> ids;
    for (auto category : {DeviceCategory::VideoEffects, DeviceCategory::VideoTransitions,
                          DeviceCategory::VideoCompressors, DeviceCategory::AudioCompressors}) {
        const bool compressors = category == DeviceCategory::VideoCompressors ||
                                 category == DeviceCategory::AudioCompressors;
        const auto listing = catalog.List(category);
        const auto second = again.List(category);
        ASSERT_EQ(listing.failure, IDeviceCatalog::Failure::None);
        ASSERT_FALSE(listing.devices.empty());
        ASSERT_EQ(second.devices.size(), listing.devices.size());
        for (size_t i = 0; i < listing.devices.size(); ++i) {
            const DeviceMoniker& device = listing.devices[i];
            ASSERT_TRUE(device.bound && device.friendlyName && device.guid);
            EXPECT_TRUE(names[compressors].insert(*device.friendlyName).second)
                << Narrow(*device.friendlyName);
            const auto id = Guid::Parse(*device.guid);
            ASSERT_TRUE(id.has_value());
            EXPECT_TRUE(ids.insert(*id).second);
            EXPECT_EQ(second.devices[i].guid, device.guid);
            const auto check = [&](const auto* entry) {
                ASSERT_NE(entry, nullptr);
                EXPECT_EQ(entry->category, category);
                EXPECT_EQ(entry->friendlyName, *device.friendlyName);
            };
            if (compressors) {
                check(catalog.FindCompressor(*id));
                EXPECT_EQ(catalog.FindCompressor(*id), catalog.Compressor(category, i));
            } else {
                check(catalog.Find(*id));
            }
        }
        EXPECT_EQ(catalog.Compressor(category, listing.devices.size()), nullptr);
    }
    // libavcodec always has these encoders.
    for (const auto& [key, encoder] : {std::pair{"video-compressor/mjpeg", "mjpeg"},
                                       {"audio-compressor/pcm-s16le", "pcm_s16le"}}) {
        const auto* entry = catalog.FindCompressor(Guid::FromName(std::string("vortrel/") + key));
        ASSERT_NE(entry, nullptr) << key;
        EXPECT_EQ(entry->encoder, encoder);
    }
}

TEST(MltCatalog, WipeMapsAreWholeSixteenBitPgmsWrittenAgainWhenGone) {
    MltCatalog catalog;
    const std::string header = "P5\n" + std::to_string(LumaMaps::kWidth) + " " +
                               std::to_string(LumaMaps::kHeight) + "\n65535\n";
    std::set<std::string> files;
    for (const MltServiceEntry& entry : catalog.Entries()) {
        for (const auto& [name, value] : entry.properties) {
            if (name == "resource") {
                ASSERT_TRUE(entry.lumaMap);
                const std::string bytes = ReadAll(value);
                EXPECT_TRUE(bytes.rfind(header, 0) == 0 &&
                            bytes.size() ==
                                header.size() + LumaMaps::kWidth * LumaMaps::kHeight * 2);
                EXPECT_EQ(bytes, LumaMaps::EncodePgm(*entry.lumaMap));
                files.insert(value);
            }
        }
    }
    EXPECT_GE(files.size(), 4u);

    const auto path = LumaMaps::PathOf(LumaShape::LeftToRight);
    const std::string expected = ReadAll(path);
    std::filesystem::remove(path);
    MltCatalog later;
    EXPECT_EQ(ReadAll(path), expected);
    std::filesystem::resize_file(path, 100);
    for (const MltServiceEntry& entry : later.Entries()) {
        EXPECT_TRUE(MltCatalog::EnsureFiles(entry));
    }
    EXPECT_EQ(ReadAll(path), expected);
    for (const auto& file : std::filesystem::directory_iterator(LumaMaps::Folder())) {
        EXPECT_EQ(file.path().extension(), ".pgm") << "left behind: " << file.path();
    }
}

// --- Rendering at a small size ---------------------------------------------------------

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Fails the running test on every error MLT logs: a service that cannot render logs an error
// and passes its input on unchanged, which no look at the picture would notice.
void FailOnMltErrors(void*, int level, const char* format, va_list args) {
    if (level <= MLT_LOG_ERROR) {
        char message[512];
        std::vsnprintf(message, sizeof message, format, args);
        ADD_FAILURE() << "MLT: " << message;
    }
}

void PrintMltMessages(void*, int level, const char* format, va_list args) {
    if (level <= mlt_log_get_level()) {
        std::vfprintf(stderr, format, args);
    }
}

class MltRendering : public ::testing::Test {
  protected:
    void SetUp() override {
        MltRuntime::Repository();
        profile_ = std::make_unique<Mlt::Profile>();
        profile_->set_width(kWidth);
        profile_->set_height(kHeight);
        profile_->set_sample_aspect(1, 1);
        profile_->set_display_aspect(kWidth, kHeight);
        profile_->set_frame_rate(25, 1);
        profile_->set_progressive(1);
        mlt_log_set_callback(FailOnMltErrors);
    }
    void TearDown() override { mlt_log_set_callback(PrintMltMessages); }

    // Red for the effects and the outgoing track, blue for the incoming one, converted to
    // RGBA on request as a consumer would have it.
    std::unique_ptr<Mlt::Producer> Colour(const char* colour) {
        auto producer = std::make_unique<Mlt::Producer>(*profile_, "colour", colour);
        Mlt::Filter convert(*profile_, "imageconvert");
        producer->attach(convert);
        return producer;
    }

    std::vector<Rgb> Render(const MltServiceEntry& entry, int position = 5) {
        auto from = Colour("0xff0000ff");
        const auto configure = [&](Mlt::Service& service) {
            EXPECT_TRUE(service.is_valid());
            for (const auto& [name, value] : entry.properties) {
                service.set(name.c_str(), value.c_str());
            }
        };
        if (entry.category == DeviceCategory::VideoEffects) {
            Mlt::Filter filter(*profile_, entry.service.c_str());
            configure(filter);
            from->attach(filter);
            return FetchPicture(*from, position, kWidth, kHeight);
        }
        // The transition spans frames 0 to 10 between track 0 and track 1.
        Mlt::Transition transition(*profile_, entry.service.c_str());
        configure(transition);
        Mlt::Tractor tractor(*profile_);
        tractor.set_track(*from, 0);
        tractor.set_track(*Colour("0x0000ffff"), 1);
        transition.set_in_and_out(0, 10);
        tractor.plant_transition(transition, 0, 1);
        return FetchPicture(tractor, position, kWidth, kHeight);
    }

    std::unique_ptr<Mlt::Profile> profile_;
    MltCatalog catalog_;
};

TEST_F(MltRendering, EveryEntryRendersAFrameOnItsOwn) {
    for (const MltServiceEntry& entry : catalog_.Entries()) {
        SCOPED_TRACE(Narrow(entry.friendlyName));
        const std::vector<Rgb> picture = Render(entry);
        ASSERT_EQ(picture.size(), size_t{kWidth * kHeight});
        if (entry.category == DeviceCategory::VideoTransitions) {
            // Half way through, the picture is neither the outgoing nor the incoming one.
            EXPECT_TRUE(std::any_of(picture.begin(), picture.end(),
                                    [](Rgb p) { return !Near(p, kRed, 12); }));
            EXPECT_TRUE(std::any_of(picture.begin(), picture.end(),
                                    [](Rgb p) { return !Near(p, kBlue, 12); }));
        }
    }
}

// How a dissolve mixes is pinned through the whole graph (MltGraphBuilderTest).
TEST_F(MltRendering, WipesRevealFromTheirSide) {
    auto render = [&](const wchar_t* name, int position = 5) {
        const auto& entries = catalog_.Entries();
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&](const auto& e) { return e.friendlyName == name; });
        return entry == entries.end() ? std::vector<Rgb>{} : Render(*entry, position);
    };
    const int left = kHeight / 2 * kWidth + 2, right = kHeight / 2 * kWidth + kWidth - 3;
    const int top = 2 * kWidth + kWidth / 2, bottom = (kHeight - 3) * kWidth + kWidth / 2;
    struct Wipe {
        const wchar_t* name;
        int early, late;  // a pixel revealed early and one revealed late
    };
    for (const Wipe& wipe :
         {Wipe{L"Wipe Left to Right", left, right}, Wipe{L"Wipe Right to Left", right, left},
          Wipe{L"Wipe Top to Bottom", top, bottom}, Wipe{L"Wipe Bottom to Top", bottom, top}}) {
        SCOPED_TRACE(Narrow(wipe.name));
        const std::vector<Rgb> middle = render(wipe.name), first = render(wipe.name, 0);
        ASSERT_FALSE(middle.empty() || first.empty());
        EXPECT_TRUE(Near(middle[wipe.early], kBlue, 12));
        EXPECT_TRUE(Near(middle[wipe.late], kRed, 12));
        EXPECT_TRUE(Near(first[wipe.early], kRed, 12));
        // The timeline is progressive: both fields of a frame are wiped to the same point.
        for (int x = 0; x < kWidth && wipe.early % kWidth != kWidth / 2; ++x) {
            EXPECT_TRUE(Near(middle[24 * kWidth + x], middle[25 * kWidth + x], 12)) << x;
        }
    }
}

}  // namespace
}  // namespace vortrel
