#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numeric>

#include "control/CTimelineControl.h"
#include "model/FontTable.h"
#include "platform/windows/DirectShowCatalog.h"
#include "platform/windows/GdiFontHandles.h"
#include "platform/windows/GdiplusTextRasteriser.h"
#include "platform/windows/WindowsPlatform.h"
#include "platform/windows/WindowsTimerHost.h"

namespace vortrel {
namespace {

LogFont Arial(int32_t height) {
    LogFont font;
    font.height = height;
    font.weight = 700;
    font.italic = 1;
    font.charSet = 1;
    font.SetFaceName(L"Arial");
    return font;
}

TEST(GdiFontHandles, AHandleIsAGdiFontWithTheRecordUntilDeleted) {
    GdiFontHandles fonts;
    const LogFont font = Arial(-20);
    const int32_t handle = fonts.Create(font);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(GetObjectType(LongToHandle(handle)), static_cast<DWORD>(OBJ_FONT));
    LogFont read;
    ASSERT_TRUE(fonts.Get(handle, read));
    EXPECT_EQ(read, font);
    EXPECT_TRUE(fonts.Delete(handle));
    EXPECT_FALSE(fonts.Get(handle, read));
    EXPECT_FALSE(fonts.Delete(handle));
    EXPECT_FALSE(fonts.Get(0, read));
    // Another kind of GDI object is no font.
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_FALSE(fonts.Get(HandleToLong(brush), read));
    EXPECT_FALSE(fonts.Delete(HandleToLong(brush)));
    DeleteObject(brush);
}

TEST(GdiplusTextRasteriser, TextCoversItsPlaceAndNothingElse) {
    auto rasteriser = StartGdiplusTextRasteriser();
    ASSERT_NE(rasteriser, nullptr);
    std::vector<uint8_t> coverage;
    ASSERT_TRUE(rasteriser->Render(L"HH", Arial(-20), 32, 4, 96, 32, coverage));
    ASSERT_EQ(coverage.size(), 96u * 32u);
    uint8_t left = 0, inside = 0;
    for (int32_t row = 0; row < 32; ++row) {
        for (int32_t column = 0; column < 96; ++column) {
            const uint8_t value = coverage[static_cast<size_t>(row) * 96 + column];
            (column < 30 ? left : inside) = std::max(column < 30 ? left : inside, value);
        }
    }
    EXPECT_EQ(left, 0);  // nothing left of the layout point
    EXPECT_GT(inside, 200);
    ASSERT_TRUE(rasteriser->Render(L"", Arial(-20), 0, 0, 8, 8, coverage));
    EXPECT_EQ(std::accumulate(coverage.begin(), coverage.end(), 0), 0);
    EXPECT_FALSE(rasteriser->Render(L"x", Arial(-20), 0, 0, 0, 8, coverage));
}

TEST(WindowsTimerHost, AMessageWindowTicksUntilTheTimerIsKilled) {
    std::vector<int32_t> ticks;
    WindowsTimerHost host([&](int32_t id) { ticks.push_back(id); });
    ASSERT_NE(host.Window(), nullptr);
    host.SetTimer(7, 10);
    const DWORD until = GetTickCount() + 5000;
    MSG message;
    while (ticks.size() < 2 && GetTickCount() < until) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        } else {
            Sleep(1);
        }
    }
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks.front(), 7);
    host.KillTimer(7);
    ticks.clear();
    const DWORD quiet = GetTickCount() + 100;
    while (GetTickCount() < quiet) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
    EXPECT_TRUE(ticks.empty());
}

// What the system lists is the system's own (Wine lists little or nothing): a listing either
// failed with no devices or holds devices, each named where it could be read.
TEST(DirectShowCatalog, EachCategoryListsOrFailsCleanly) {
    DirectShowCatalog catalog;
    const char* names[] = {"video effects", "video transitions", "video compressors",
                           "audio compressors"};
    const DeviceCategory categories[] = {
        DeviceCategory::VideoEffects, DeviceCategory::VideoTransitions,
        DeviceCategory::VideoCompressors, DeviceCategory::AudioCompressors};
    for (int i = 0; i < 4; ++i) {
        const auto listing = catalog.List(categories[i]);
        std::printf("catalogue: %s: failure %d, %zu devices\n", names[i],
                    static_cast<int>(listing.failure), listing.devices.size());
        for (const DeviceMoniker& device : listing.devices) {
            std::printf("  %ls %ls\n", device.friendlyName.value_or(L"(none)").c_str(),
                        device.guid.value_or(L"(none)").c_str());
        }
        if (listing.failure != IDeviceCatalog::Failure::None) {
            EXPECT_TRUE(listing.devices.empty()) << names[i];
        }
    }
    const auto profiles = catalog.ListOutputProfiles();
    std::printf("catalogue: %zu output profiles\n", profiles.size());
    for (const OutputProfile& profile : profiles) {
        EXPECT_FALSE(profile.name.empty());
    }
}

// The control on this platform: font handles are GDI fonts, text clips draw, and with no render
// engine or converter preview reports nothing and a conversion cannot start.
TEST(WindowsPlatform, AControlWithoutARenderEngineNeitherPlaysNorSaves) {
    auto control = CreateWindowsControl();
    const int32_t font = FontTable::Create(Arial(-16));
    EXPECT_EQ(GetObjectType(LongToHandle(font)), static_cast<DWORD>(OBJ_FONT));
    int32_t result = -1;
    control->AddTextClip(7, L"Title", 0.0f, 2.0f, font, 4, 4, 0xFFFFFF, &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(FontTable::Delete(font));
    control->Play();
    VariantBool playing = -1;
    control->get_IsPlaying(&playing);
    EXPECT_EQ(playing, 0);
    const std::filesystem::path output = std::filesystem::temp_directory_path() / "vortrel-out.avi";
    control->Save(output.wstring().c_str(), &result);
    EXPECT_EQ(result, -2);
    EXPECT_FALSE(std::filesystem::exists(output));
}

// The control's encoder lists are the system's compressors in the system's order (what Wine
// installs differs from a Windows machine), each list ending in an empty name.
TEST(WindowsPlatform, TheControlListsTheSystemsCompressorsAndProfiles) {
    auto control = CreateWindowsControl();
    DirectShowCatalog catalog;
    using Getter = HResult (CTimelineControl::*)(int32_t, OutString*);
    const std::pair<DeviceCategory, Getter> lists[] = {
        {DeviceCategory::VideoCompressors, &CTimelineControl::GetVideoEncoder},
        {DeviceCategory::AudioCompressors, &CTimelineControl::GetAudioEncoder}};
    for (const auto& [category, get] : lists) {
        std::vector<std::wstring> expected;
        for (const DeviceMoniker& device : catalog.List(category).devices) {
            expected.push_back(device.friendlyName.value_or(L""));
        }
        expected.push_back(L"");
        for (int32_t i = 0; i < static_cast<int32_t>(expected.size()); ++i) {
            OutString name;
            ((*control).*get)(i, &name);
            EXPECT_EQ(name, OutString(expected[static_cast<size_t>(i)])) << i;
            std::printf("encoder %d: \"%ls\"\n", i, name.value_or(L"(none)").c_str());
        }
    }
    OutString profile;
    control->GetWMVProfile(static_cast<int32_t>(catalog.ListOutputProfiles().size()), &profile);
    EXPECT_EQ(profile, OutString(L""));
}

}  // namespace
}  // namespace vortrel
