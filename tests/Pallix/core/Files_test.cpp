// Files users rely on: a writer killed in the middle of a replace leaves
// the old content or the new, never a torn file; what cannot be read reads
// as nothing rather than ending the program.
#include "AppTestSupport.h"
#include "app/Files.h"

#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Big enough that a kill lands in the middle of writing it.
const std::string oldContent(4 << 20, 'o');
const std::string newContent((4 << 20) + 3, 'n');

TEST(ReplaceFile, AWriterKilledMidWriteLeavesOldOrNewContent)
{
    TestAppFolder folder;
    const std::string path = folder.path() + "settings.conf";
    ASSERT_TRUE(replaceFile(path, oldContent, nullptr));
    std::mt19937 random(7);
    int sawNew = 0;
    for (int kill = 0; kill < 20; ++kill) {
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            for (bool flip = true;; flip = !flip)
                replaceFile(path, flip ? newContent : oldContent, nullptr);
        }
        usleep(useconds_t(std::uniform_int_distribution<int>(1000, 40000)(random)));
        ::kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        const std::optional<std::string> found = readFile(path);
        ASSERT_TRUE(found);
        ASSERT_TRUE(*found == oldContent || *found == newContent)
            << "kill " << kill << ": a torn file of " << found->size() << " bytes";
        sawNew += *found == newContent;
    }
    EXPECT_GT(sawNew, 0);   // the writer did get to replace it
}

TEST(ReadFile, WhatCannotBeReadIsNothing)
{
    TestAppFolder folder;
    EXPECT_FALSE(readFile(folder.path()));   // a folder: the read fails, nothing throws
    EXPECT_FALSE(readFile(folder.path() + "missing"));
    std::string error;
    EXPECT_FALSE(replaceFile(folder.path() + "no-folder/file", "x", &error));
    EXPECT_FALSE(error.empty());
}

}   // namespace
