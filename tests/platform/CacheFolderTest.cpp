#include "platform/linux/CacheFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/BitmapFile.h"
#include "platform/linux/FileBytes.h"
#include "platform/linux/KeyedBitmaps.h"
#include "platform/linux/LumaMaps.h"
#include "support/GeneratedMedia.h"

namespace vortrel {
namespace {

namespace fs = std::filesystem;

// Points the variables the cache folder follows into a scratch folder, and puts them back.
class CacheFolderTest : public ::testing::Test {
  protected:
    CacheFolderTest() {
        for (const char* name : {"XDG_CACHE_HOME", "HOME", "TMPDIR"}) {
            const char* value = std::getenv(name);
            saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
        }
        fs::create_directories(Scratch() / "home");
        fs::create_directories(Scratch() / "tmp");
        Set("XDG_CACHE_HOME", Scratch() / "xdg");
        Set("HOME", Scratch() / "home");
        Set("TMPDIR", Scratch() / "tmp");
    }
    ~CacheFolderTest() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

    const fs::path& Scratch() const { return folder_.Path(); }
    static void Set(const char* name, const fs::path& value) { setenv(name, value.c_str(), 1); }
    fs::path File(const std::string& name, const std::string& bytes = "x") {
        return folder_.WriteFile(name, bytes);
    }

  private:
    testing::MediaFolder folder_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(CacheFolderTest, LivesUnderTheFirstUsableBaseFolder) {
    const fs::path xdg = Scratch() / "xdg" / "vortrel";
    const fs::path home = Scratch() / "home" / ".cache" / "vortrel";
    const fs::path temporary = Scratch() / "tmp" / ("vortrel-cache-" + std::to_string(getuid()));
    struct Case {
        const char* what;
        std::optional<fs::path> xdgCacheHome;  // none: unset
        std::optional<fs::path> homeValue;
        fs::path expected;
    };
    const fs::path blocker = File("a-file-not-a-folder");
    for (const Case& c : {
             Case{"the XDG folder", Scratch() / "xdg", Scratch() / "home", xdg},
             Case{"a relative XDG folder is no folder", fs::path("relative"), Scratch() / "home",
                  home},
             Case{"an unset XDG folder", std::nullopt, Scratch() / "home", home},
             Case{"an XDG folder that cannot be made", blocker, Scratch() / "home", home},
             Case{"no usable home either", blocker, blocker, temporary},
             Case{"no home at all", std::nullopt, std::nullopt, temporary},
         }) {
        if (c.xdgCacheHome) {
            Set("XDG_CACHE_HOME", *c.xdgCacheHome);
        } else {
            unsetenv("XDG_CACHE_HOME");
        }
        if (c.homeValue) {
            Set("HOME", *c.homeValue);
        } else {
            unsetenv("HOME");
        }
        EXPECT_EQ(CacheFolder::Root(), c.expected) << c.what;
        EXPECT_TRUE(fs::is_directory(c.expected)) << c.what;
        struct stat info {};
        ASSERT_EQ(stat(c.expected.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << c.what;
        EXPECT_EQ(LumaMaps::Folder(), c.expected / "wipes") << c.what;
        EXPECT_EQ(KeyedBitmaps::Folder(), c.expected / "keys") << c.what;
    }
    EXPECT_FALSE(fs::exists(Scratch() / "relative"));

    // A wipe map is written where the folder now is.
    EXPECT_TRUE(LumaMaps::Ensure(LumaShape::Circle));
    EXPECT_TRUE(fs::is_regular_file(temporary / "wipes" / "wipe-circle.pgm"));
    Set("XDG_CACHE_HOME", Scratch() / "xdg");
    EXPECT_TRUE(LumaMaps::Ensure(LumaShape::Circle));
    EXPECT_TRUE(fs::is_regular_file(xdg / "wipes" / "wipe-circle.pgm"));
}

TEST_F(CacheFolderTest, TrimRemovesTheLeastRecentlyWrittenBeyondTheBound) {
    const fs::path folder = Scratch() / "trim";
    fs::create_directories(folder);
    const auto now = fs::file_time_type::clock::now();
    // file0 is the oldest; each is 100 bytes.
    std::vector<fs::path> files;
    for (int i = 0; i < 6; ++i) {
        files.push_back(folder / ("file" + std::to_string(i)));
        ASSERT_TRUE(WriteFileAtomically(files.back(), std::string(100, 'x')));
        fs::last_write_time(files.back(), now - std::chrono::minutes(10 - i));
    }
    ASSERT_TRUE(WriteFileAtomically(folder / ".being-written", std::string(1000, 'x')));
    const auto remaining = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    };
    const auto keepNone = [](const fs::path&) { return false; };

    CacheFolder::Trim(folder, 1000, 100, keepNone);  // within both bounds
    EXPECT_EQ(remaining().size(), 7u);
    CacheFolder::Trim(folder, 450, 100, keepNone);  // by size
    EXPECT_EQ(remaining(),
              (std::set<std::string>{".being-written", "file2", "file3", "file4", "file5"}));
    // By count, sparing what is still in use however old.
    CacheFolder::Trim(folder, 1000, 2, [&](const fs::path& file) { return file == files[2]; });
    EXPECT_EQ(remaining(), (std::set<std::string>{".being-written", "file2", "file5"}));
}

// A text bitmap as a text clip writes it, of a given width.
fs::path TextBitmap(const fs::path& file, int width) {
    const std::vector<uint8_t> pixels(static_cast<size_t>(width) * 4 * 2, 200);
    const std::vector<uint8_t> bytes = EncodeBitmapFile32(width, 2, pixels);
    EXPECT_TRUE(WriteFileAtomically(file, std::string(bytes.begin(), bytes.end())));
    return file;
}

TEST_F(CacheFolderTest, KeyedCopiesGoWithTheLastUserThatMadeThem) {
    const fs::path text = TextBitmap(Scratch() / "text.bmp", 4);
    auto first = std::make_unique<KeyedBitmaps>();
    auto second = std::make_unique<KeyedBitmaps>();
    const std::optional<fs::path> copy = first->PngOf(text);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->parent_path(), Scratch() / "xdg" / "vortrel" / "keys");
    EXPECT_EQ(second->PngOf(text), copy);
    EXPECT_EQ(first->PngOf(text), copy);  // asking twice holds it once
    first.reset();
    EXPECT_TRUE(fs::is_regular_file(*copy));
    second.reset();
    EXPECT_FALSE(fs::exists(*copy));

    // A copy found on disk was made by another process, which may still read it.
    const std::string made = ReadFileBytes(*KeyedBitmaps().PngOf(text)).value_or("");
    ASSERT_TRUE(WriteFileAtomically(*copy, made));
    KeyedBitmaps().PngOf(text);
    EXPECT_TRUE(fs::is_regular_file(*copy));

    // No BMP, no copy.
    EXPECT_FALSE(KeyedBitmaps().PngOf(File("not-a-bitmap.bmp", "BM nonsense")));
}

TEST_F(CacheFolderTest, KeyedCopiesAreBoundedWhenOneIsAdded) {
    const fs::path keys = KeyedBitmaps::Folder();
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (size_t i = 0; i < KeyedBitmaps::kMaxFiles; ++i) {
        const fs::path stale = keys / ("stale" + std::to_string(i) + ".png");
        std::ofstream(stale) << "png";
        fs::last_write_time(stale, old);
    }
    KeyedBitmaps user;
    const std::optional<fs::path> held = user.PngOf(TextBitmap(Scratch() / "held.bmp", 4));
    const std::optional<fs::path> added = user.PngOf(TextBitmap(Scratch() / "added.bmp", 8));
    ASSERT_TRUE(held && added);
    EXPECT_TRUE(fs::is_regular_file(*held));
    EXPECT_TRUE(fs::is_regular_file(*added));
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(keys)) {
        ++count;
    }
    EXPECT_EQ(count, KeyedBitmaps::kMaxFiles);
}

}  // namespace
}  // namespace vortrel
