// Which bundle korlan-flow loads when none is named: the installed one
// beside it, wherever the tree was put, else the one the build made.
#include "host/ProgramLocation.h"

#include "tests/support/ScratchDirectoryVariable.h"

#include <gtest/gtest.h>

TEST(ProgramLocation, PrefersTheBundleInstalledRelativeToTheProgram) {
    ScratchDirectory installed, bare;
    std::filesystem::create_directories(installed.root() / "lib/korlan-flow/KORLANFlow.saver");
    const std::filesystem::path fromProgram = "../lib/korlan-flow/KORLANFlow.saver", built = "/build/KORLANFlow.saver";
    struct Case {
        std::filesystem::path program, bundle;
    };
    for (const auto& c : {
             Case{installed.root() / "bin/korlan-flow", installed.root() / "lib/korlan-flow/KORLANFlow.saver"},
             Case{bare.root() / "bin/korlan-flow", built},
             Case{{}, built},
         }) {
        EXPECT_EQ(defaultBundlePath(c.program, fromProgram, built), c.bundle) << c.program;
    }
}

TEST(ProgramLocation, NamesTheRunningProgramItself) {
    EXPECT_EQ(runningProgram().filename(), "host-tests");
    EXPECT_TRUE(runningProgram().is_absolute());
}
