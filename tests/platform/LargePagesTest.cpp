#include "platform/LargePages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const char* const kChild = "QLM_LARGE_PAGES_TEST_CHILD";

std::string Env(const char* name)
{
    const char* v = getenv(name);
    return v ? v : "(unset)";
}
} // namespace

TEST(LargePages, AnyHugePageChoiceCountsAsAsked)
{
    EXPECT_FALSE(LargePages::AlreadyAsked(nullptr));
    EXPECT_FALSE(LargePages::AlreadyAsked(""));
    EXPECT_FALSE(LargePages::AlreadyAsked("glibc.malloc.check=3"));
    // A user who turned them off keeps that.
    EXPECT_TRUE(LargePages::AlreadyAsked("glibc.malloc.hugetlb=0"));
    EXPECT_TRUE(LargePages::AlreadyAsked("glibc.malloc.check=3:glibc.malloc.hugetlb=1"));
}

// The test binary restarts itself as the game does; the restarted copy runs
// only this test, reports what it was given and tries to restart again.
TEST(LargePages, RestartsOnceKeepingOtherTunables)
{
    if (getenv(kChild)) {
        std::string self = "/proc/self/exe";
        char* args[] = {self.data(), nullptr};
        LargePages::RestartWithLargePages(args); // already restarted: returns
        printf("\nTUNABLES=%s MARKER=%s\n", Env("GLIBC_TUNABLES").c_str(), Env("QLM_LARGE_PAGES").c_str());
        fflush(stdout);
        _exit(0);
    }
    if (getenv("QLM_LARGE_PAGES"))
        GTEST_SKIP() << "started with QLM_LARGE_PAGES set";
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        setenv(kChild, "1", 1);
        setenv("GLIBC_TUNABLES", "glibc.malloc.check=0", 1);
        std::string self = "/proc/self/exe", filter = "--gtest_filter=LargePages.RestartsOnceKeepingOtherTunables";
        char* args[] = {self.data(), filter.data(), nullptr};
        LargePages::RestartWithLargePages(args);
        _exit(3); // not restarted
    }
    close(fds[1]);
    std::string out;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(out.find("TUNABLES=glibc.malloc.check=0:glibc.malloc.hugetlb=1 MARKER=1\n"), std::string::npos) << out;
}
