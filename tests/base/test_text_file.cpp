#include "base/text_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

// Runs the function in a child process and gives its exit status (-1 when it did not exit).
int inChild(const std::function<bool()>& body)
{
    const pid_t pid = fork();
    if (pid == 0) _exit(body() ? 0 : 1);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// The names in the folder, to see that no temporary file is left behind.
std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(WriteWholeFile, ReplacesTheFileAndKeepsItsPermissions)
{
    test::TempFolder folder;
    const std::string path = folder.file("lay.txt");
    ASSERT_TRUE(writeWholeFile(path, "a long first version\r\n"));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    ASSERT_TRUE(writeWholeFile(path, "short\r\n"));

    EXPECT_EQ(folder.read("lay.txt"), "short\r\n");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"lay.txt"});
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

// A save over a good file under a file-size limit once cut the file to the limit. The
// limit holds for every user, root included, unlike permission bits.
TEST(WriteWholeFile, AWriteCutShortLeavesThePreviousFileAsItWas)
{
    test::TempFolder folder;
    const std::string path = folder.file("lay.txt");
    const std::string previous(6000, 'p');
    ASSERT_TRUE(writeWholeFile(path, previous));

    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG instead of a signal
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
        std::string error;
        const bool written = writeWholeFile(path, std::string(9000, 'n'), &error);
        return !written && error == "File too large";
    });

    EXPECT_EQ(status, 0) << "the write under the size limit must fail with EFBIG";
    EXPECT_TRUE(folder.read("lay.txt") == previous);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"lay.txt"});
}

TEST(WriteWholeFile, TargetsThatCannotBeWrittenFailWithTheirReason)
{
    test::TempFolder folder;
    ASSERT_TRUE(writeWholeFile(folder.file("plain"), "x"));
    fs::create_directory(folder.file("folder"));
    struct Case {
        std::string path;
        std::string reason;
    };
    for (const Case& c : {Case{folder.file("plain/sub.txt"), "Not a directory"},
                          Case{folder.file("folder"), "Is a directory"},
                          Case{folder.file("missing/lay.txt"), "No such file or directory"},
                          Case{"/dev/full", "No space left on device"}}) {
        std::string error;
        EXPECT_FALSE(writeWholeFile(c.path, "text", &error)) << c.path;
        EXPECT_EQ(error, c.reason) << c.path;
    }
    EXPECT_TRUE(fs::is_directory(folder.file("folder")));
    EXPECT_EQ(folder.read("plain"), "x");
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"folder", "plain"}));
    EXPECT_EQ(fileFailureText("文件保存失败!", "/dev/full", "No space left on device"),
              "文件保存失败! /dev/full: No space left on device");
    EXPECT_EQ(fileFailureText("排样文件输出失败!", "out/\xC1\xE3.dxf", "Is a directory"),
              "排样文件输出失败! out/零.dxf: Is a directory");
}

// A device cannot be replaced by a file (as root, a rename would replace /dev/null).
TEST(WriteWholeFile, DevicesAreWrittenInPlaceAndLinksFollowed)
{
    EXPECT_TRUE(writeWholeFile("/dev/null", "discarded"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    test::TempFolder folder;
    ASSERT_TRUE(writeWholeFile(folder.file("real.txt"), "old"));
    fs::create_symlink("real.txt", folder.file("link.txt"));
    ASSERT_TRUE(writeWholeFile(folder.file("link.txt"), "new"));
    EXPECT_TRUE(fs::is_symlink(folder.file("link.txt")));
    EXPECT_EQ(folder.read("real.txt"), "new");
}

TEST(ReplacingFile, AFileNotCommittedLeavesNothingBehind)
{
    test::TempFolder folder;
    ASSERT_TRUE(writeWholeFile(folder.file("t.txt"), "kept"));
    {
        ReplacingFile file(folder.file("t.txt"));
        ASSERT_TRUE(file.isOpen());
        ASSERT_TRUE(file.write("half"));
    }
    EXPECT_EQ(folder.read("t.txt"), "kept");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"t.txt"});
}

// Two runs writing into one folder once left a file with one run's text and the other's
// stale tail. Every read while both write must see one whole version.
TEST(WriteWholeFile, ConcurrentWritersLeaveTheFileWholeFromOneOfThem)
{
    test::TempFolder folder;
    const std::string path = folder.file("AllPlts.dxf");
    const std::string longText(300000, 'L');
    const std::string shortText(1000, 's');
    ASSERT_TRUE(writeWholeFile(path, shortText));

    pid_t writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i] = fork();
        if (writers[i] == 0) {
            bool ok = true;
            for (int round = 0; round < 100; ++round) {
                ok = writeWholeFile(path, i == 0 ? longText : shortText) && ok;
            }
            _exit(ok ? 0 : 1);
        }
    }
    int torn = 0;
    int running = 2;
    while (running > 0) {
        const std::string seen = folder.read("AllPlts.dxf");
        if (seen != longText && seen != shortText) ++torn;
        for (pid_t& writer : writers) {
            int status = 0;
            if (writer == 0 || waitpid(writer, &status, WNOHANG) != writer) continue;
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            writer = 0;
            --running;
        }
    }
    EXPECT_EQ(torn, 0);
    const std::string last = folder.read("AllPlts.dxf");
    EXPECT_TRUE(last == longText || last == shortText);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"AllPlts.dxf"});
}

}  // namespace
}  // namespace orvo
