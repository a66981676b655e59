#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/FileAccess.h"

namespace vortrel {
namespace {

namespace fs = std::filesystem;

// A private folder that everyone may write in, so that a child running as another user can
// work in it too.
class FileAccessTest : public ::testing::Test {
  protected:
    FileAccessTest() {
        std::string pattern = (fs::temp_directory_path() / "vortrel-files-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
        fs::permissions(folder_, fs::perms::all);
    }
    ~FileAccessTest() override { fs::remove_all(folder_); }

    fs::path At(const std::string& name) const { return folder_ / name; }

    static void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static bool Replace(const fs::path& path, const std::string& text) {
        return ReplaceFile(path, [&text](std::FILE* file) {
            return std::fwrite(text.data(), 1, text.size(), file) == text.size();
        });
    }
    // Whether nothing but the given names is left in the folder (no temporary behind).
    bool HoldsOnly(std::initializer_list<std::string> names) const {
        size_t count = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_)) {
            ++count;
        }
        for (const std::string& name : names) {
            if (!fs::exists(fs::symlink_status(At(name)))) {
                return false;
            }
        }
        return count == names.size();
    }

    fs::path folder_;
};

TEST_F(FileAccessTest, AReplacementWritesWhereTheLinksLeadAndKeepsModeAndOwner) {
    Write(At("real.xml"), "old");
    fs::permissions(At("real.xml"), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(chown(At("real.xml").c_str(), 65534, 65534), 0);  // the tests run as root
    fs::create_symlink("real.xml", At("link.xml"));
    fs::create_symlink("link.xml", At("second.xml"));

    ASSERT_TRUE(Replace(At("second.xml"), "new"));
    EXPECT_TRUE(fs::is_symlink(At("second.xml")));
    EXPECT_TRUE(fs::is_symlink(At("link.xml")));
    EXPECT_EQ(Read(At("real.xml")), "new");
    struct stat info {};
    ASSERT_EQ(stat(At("real.xml").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_TRUE(HoldsOnly({"real.xml", "link.xml", "second.xml"}));

    // A dangling link makes the file it names.
    fs::create_symlink("made.xml", At("dangling.xml"));
    ASSERT_TRUE(Replace(At("dangling.xml"), "made"));
    EXPECT_EQ(Read(At("made.xml")), "made");
}

TEST_F(FileAccessTest, TargetsThatAreNotRegularFilesOrHaveNoFolderAreRefused) {
    ASSERT_EQ(mkfifo(At("pipe").c_str(), 0600), 0);
    fs::create_directory(At("folder"));
    fs::create_symlink("loop-b", At("loop-a"));
    fs::create_symlink("loop-a", At("loop-b"));
    for (const fs::path& target :
         {At("pipe"), At("folder"), fs::path("/dev/null"), At("loop-a"), At("no/such.xml")}) {
        SCOPED_TRACE(target);
        FileReplacement replacement(target);
        EXPECT_NE(replacement.Error(), "");
        EXPECT_FALSE(replacement.Commit());
        EXPECT_FALSE(Replace(target, "x"));
    }
    EXPECT_TRUE(fs::is_fifo(At("pipe")));
    EXPECT_TRUE(HoldsOnly({"pipe", "folder", "loop-a", "loop-b"}));
}

TEST_F(FileAccessTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    Write(At("kept.xml"), "old");
    EXPECT_FALSE(ReplaceFile(At("kept.xml"), [](std::FILE*) { return false; }));
    {
        FileReplacement abandoned(At("kept.xml"));
        ASSERT_EQ(abandoned.Error(), "");
        EXPECT_TRUE(fs::exists(abandoned.Temporary()));
    }
    EXPECT_EQ(Read(At("kept.xml")), "old");
    EXPECT_TRUE(HoldsOnly({"kept.xml"}));
}

// Root may write anything, so the user's own rights are tried in a child running as nobody.
TEST_F(FileAccessTest, AFileTheUserCannotWriteIsRefusedThoughItsFolderIsWritable) {
    Write(At("read-only.xml"), "old");
    fs::permissions(At("read-only.xml"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Write(At("own.xml"), "old");
    ASSERT_EQ(chown(At("own.xml").c_str(), 65534, 65534), 0);
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        const bool refused = !Replace(At("read-only.xml"), "new");
        const bool replaced = Replace(At("own.xml"), "new");
        _exit(dropped && refused && replaced ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Read(At("read-only.xml")), "old");
    EXPECT_EQ(Read(At("own.xml")), "new");
}

TEST_F(FileAccessTest, ReadingTakesOnlyRegularFilesAndNeverWaits) {
    Write(At("project.xml"), "<Timeline/>");
    ASSERT_EQ(mkfifo(At("pipe.xml").c_str(), 0600), 0);
    fs::create_directory(At("folder.xml"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(OpenRegularFile(At("pipe.xml")), nullptr);  // no writer: opening would block
    EXPECT_EQ(OpenRegularFile(At("folder.xml")), nullptr);
    EXPECT_EQ(OpenRegularFile(At("missing.xml")), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    UniqueFile file = OpenRegularFile(At("project.xml"));
    ASSERT_NE(file, nullptr);
    char text[16] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, file.get()), 11u);
}

}  // namespace
}  // namespace vortrel
