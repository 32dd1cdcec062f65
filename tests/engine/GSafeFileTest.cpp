#include "engine/GSafeFile.h"

#include "support/ErrorLog.h"
#include "support/HostileLogPlace.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {
std::set<std::string> FilesBelow(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            names.insert(std::filesystem::relative(e.path(), folder).string());
    return names;
}

struct Failure {
    std::string path;
    std::string reason;
};
} // namespace

TEST(GSafeFile, AFullDiskKeepsTheOldFileAndEveryFailureIsLoggedWithItsReason)
{
    TempDir dir;
    ScopedErrorLog log;
    std::vector<Failure> heard;
    GSafeFile::SetFailureListener([&](const std::string& p, const std::string& r) { heard.push_back({p, r}); });
    const std::string path = dir.File("prefs.ini");
    ASSERT_TRUE(WriteFileAtomically(path, "old"));

    GSafeFile::InjectFailure(ENOSPC);
    std::string reason;
    EXPECT_FALSE(WriteFileAtomically(path, "new", &reason));
    GSafeFile::InjectFailure(0);
    EXPECT_EQ(reason, strerror(ENOSPC));
    EXPECT_EQ(dir.Read("prefs.ini"), "old");
    EXPECT_EQ(FilesBelow(dir.Path()), std::set<std::string>{"prefs.ini"}) << "no temporary is left behind";
    EXPECT_EQ(log.Count("Cannot save " + path + ": " + strerror(ENOSPC)), 1);

    // A folder that cannot take the temporary fails before a byte is written.
    EXPECT_FALSE(WriteFileAtomically(dir.File("gone/sc.dat"), "x", &reason));
    EXPECT_EQ(reason, strerror(ENOENT));
    EXPECT_EQ(log.Count("Cannot save " + dir.File("gone/sc.dat")), 1);

    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].path, path);
    EXPECT_EQ(heard[0].reason, strerror(ENOSPC));
    GSafeFile::SetFailureListener(nullptr);

    // Once the disk has room again, writes succeed and nothing more is logged.
    EXPECT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(log.Lines(), 2);
}

TEST(GSafeFile, OnlyOurOwnStaleTemporariesAreRemoved)
{
    TempDir dir;
    for (const char* name : {"prefs.ini.tmpAb12Cd", "ships/Hammer.txt.tmpZZ09zz", "deployments/a/deployed.txt.tmp123456"})
        dir.Write(name, "half written");
    // Not what our writer names its temporaries: six characters exactly,
    // after a name, letters and digits only.
    const std::set<std::string> kept = {"prefs.ini",        "ships/Hammer.txt", "notes.tmp",
                                        "a.txt.tmpABCDEFG", ".tmp123456",       "b.txt.tmp12-456"};
    for (const std::string& name : kept)
        dir.Write(name, "keep");
    EXPECT_EQ(GSafeFile::RemoveStaleTemporaries(dir.Path()), 3);
    EXPECT_EQ(FilesBelow(dir.Path()), kept);
    EXPECT_EQ(GSafeFile::RemoveStaleTemporaries(dir.Path()), 0);
    EXPECT_EQ(GSafeFile::RemoveStaleTemporaries(dir.File("missing")), 0);
}

TEST(GSafeFile, OnlyRegularFilesWithinTheCapAreReadAndEachRefusalIsLoggedOnce)
{
    TempDir dir;
    ScopedErrorLog log;
    std::string text = "left over";
    const std::string exact = dir.Write("exact.ini", std::string(16, 'a'));
    EXPECT_TRUE(ReadWholeFile(exact, text, 16));
    EXPECT_EQ(text, std::string(16, 'a'));
    EXPECT_FALSE(ReadWholeFile(exact, text, 15));
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(log.Count("larger than a file of its kind can be (at most 15 bytes) : " + exact), 1);

    // Missing is quiet: the caller knows whether that is an error.
    EXPECT_FALSE(ReadWholeFile(dir.File("missing.ini"), text));
    EXPECT_EQ(log.Lines(), 1);

    // A folder, a FIFO (never waited on), and a link to an endless device.
    std::filesystem::create_directory(dir.File("folder.ini"));
    ASSERT_EQ(mkfifo(dir.File("fifo.ini").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.File("zero.ini"));
    for (const char* name : {"folder.ini", "fifo.ini", "zero.ini"}) {
        EXPECT_FALSE(ReadWholeFile(dir.File(name), text)) << name;
        EXPECT_EQ(log.Count(dir.File(name)), 1) << name;
    }
    EXPECT_EQ(log.Count("a folder, not a file"), 1);
    EXPECT_EQ(log.Count("not a regular file"), 2);

    // A link to a regular file reads as that file.
    std::filesystem::create_symlink(exact, dir.File("link.ini"));
    EXPECT_TRUE(ReadWholeFile(dir.File("link.ini"), text));
    EXPECT_EQ(text.size(), 16u);
}

TEST(GSafeFile, AFileThereButRefusedWhenReadIsKeptAsFoundUntilItIsGone)
{
    TempDir dir;
    ScopedErrorLog log;
    std::vector<Failure> refused, failed;
    GSafeFile::SetRefusalListener([&](const std::string& p, const std::string& r) { refused.push_back({p, r}); });
    GSafeFile::SetFailureListener([&](const std::string& p, const std::string& r) { failed.push_back({p, r}); });
    const std::string longer = dir.Write("sc.dat", std::string(17, 's'));
    const std::string failing = dir.Write("unl.dat", "[points]\npoints = 5000\n");
    const std::string folder = dir.File("um.ini");
    std::filesystem::create_directory(folder);
    GSafeFile::InjectReadFailure(failing, EIO);

    // Missing, read and refused are told apart, and errno says why.
    std::string text;
    errno = 0;
    EXPECT_TRUE(ReadWholeFile(dir.File("none.ini"), text).IsMissing());
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(ReadWholeFile(longer, text, 17).kind, FileRead::READ);
    struct Case {
        std::string path;
        size_t cap;
        int error;
        const char* reason;
    };
    for (const Case& c : {Case{longer, 16, EFBIG, "larger than a file of its kind can be (at most 16 bytes)"},
                          Case{failing, 64, EIO, "could not be read (Input/output error)"},
                          Case{folder, 64, EISDIR, "a folder, not a file"}}) {
        for (int again = 0; again < 2; ++again) {
            const FileRead read = ReadWholeFile(c.path, text, c.cap);
            EXPECT_TRUE(read.IsRefused()) << c.path;
            EXPECT_FALSE(read);
            EXPECT_EQ(errno, c.error) << c.path;
            EXPECT_TRUE(text.empty());
        }
        // Logged and told once, however often it is read.
        EXPECT_EQ(log.Count(std::string("File refused, ") + c.reason + " : " + c.path), 1) << c.path;
        EXPECT_EQ(GSafeFile::ReasonNotToReplace(c.path), "kept as it was found, since it could not be read");
    }
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(refused[1].path, failing);
    EXPECT_EQ(refused[1].reason, "could not be read (Input/output error)");
    EXPECT_EQ(log.Count("File too large"), 0) << "a read error is not reported as a size";

    // No write replaces them; each failure is told with the reason.
    std::string reason;
    EXPECT_FALSE(WriteFileAtomically(longer, "new", &reason));
    EXPECT_EQ(reason, "kept as it was found, since it could not be read");
    EXPECT_FALSE(WriteFileAtomically(failing, "new"));
    EXPECT_FALSE(WriteFileAtomically(folder, "new"));
    GSafeFile::InjectReadFailure(failing, 0); // to look at it here; the game still keeps it
    EXPECT_EQ(dir.Read("sc.dat"), std::string(17, 's'));
    EXPECT_EQ(dir.Read("unl.dat"), "[points]\npoints = 5000\n");
    EXPECT_FALSE(WriteFileAtomically(failing, "new"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(failed.size(), 4u);
    EXPECT_EQ(FilesBelow(dir.Path()), (std::set<std::string>{"sc.dat", "unl.dat"})) << "no temporary is left";

    // A FIFO or a folder nobody read is not replaced either.
    ASSERT_EQ(mkfifo(dir.File("prefs.ini").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("met.ini"));
    EXPECT_FALSE(WriteFileAtomically(dir.File("prefs.ini"), "x", &reason));
    EXPECT_EQ(reason, "something that is not a file is in its place");
    EXPECT_FALSE(WriteFileAtomically(dir.File("met.ini"), "x", &reason));
    EXPECT_EQ(reason, "a folder is in its place");
    struct stat st;
    ASSERT_EQ(lstat(dir.File("prefs.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // Once the player removes the file, the game may write a new one; the same
    // path spelled another way is the same file.
    ASSERT_TRUE(std::filesystem::remove(longer));
    EXPECT_TRUE(GSafeFile::WasRefusedWhenRead(dir.Path() + "/./sc.dat"));
    EXPECT_TRUE(WriteFileAtomically(dir.Path() + "//sc.dat", "new"));
    EXPECT_EQ(dir.Read("sc.dat"), "new");
    EXPECT_FALSE(GSafeFile::WasRefusedWhenRead(longer));

    GSafeFile::SetRefusalListener(nullptr);
    GSafeFile::SetFailureListener(nullptr);
    GSafeFile::ForgetRefusedFiles();
}

TEST(GSafeFile, ALogIsOpenedOnlyAsTheFolderOwnRegularFileAndEmptiedOnlyThen)
{
    TempDir dir;
    const std::string path = dir.Write("debug/run.txt", "last run\n");
    FILE* appended = OpenLogFile(path, true);
    ASSERT_NE(appended, nullptr);
    fputs("more\n", appended);
    fclose(appended);
    EXPECT_EQ(dir.Read("debug/run.txt"), "last run\nmore\n");
    FILE* fresh = OpenLogFile(path, false);
    ASSERT_NE(fresh, nullptr);
    fputs("new\n", fresh);
    fclose(fresh);
    EXPECT_EQ(dir.Read("debug/run.txt"), "new\n");

    // A second name for a file elsewhere is written through as surely as a link.
    HostileLogPlace hostile;
    const std::string other = dir.Write("elsewhere.txt", "not the log's\n");
    std::filesystem::remove(path);
    std::filesystem::create_hard_link(other, path);
    bool refused = false;
    testing::internal::CaptureStderr();
    EXPECT_EQ(OpenLogFile(path, false, &refused), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Log refused, linked elsewhere too: " + path + "; the game goes on without it\n");
    EXPECT_TRUE(refused);
    EXPECT_EQ(dir.Read("elsewhere.txt"), "not the log's\n");

    for (HostileLogPlace::Form form : HostileLogPlace::kForms) {
        SCOPED_TRACE(HostileLogPlace::Name(form));
        hostile.Make(path, form);
        refused = false;
        testing::internal::CaptureStderr();
        EXPECT_EQ(OpenLogFile(path, form == HostileLogPlace::FIFO, &refused), nullptr);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("Log refused"), std::string::npos);
        EXPECT_TRUE(refused);
        EXPECT_TRUE(hostile.Untouched());
    }

    // A folder in its place may be gone by the next line, as a full disk may
    // have room: not refused, and nothing said.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    testing::internal::CaptureStderr();
    EXPECT_EQ(OpenLogFile(path, true, &refused), nullptr);
    EXPECT_EQ(errno, EISDIR);
    EXPECT_FALSE(refused);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
