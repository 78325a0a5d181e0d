// Our entry in the programs: list of ~/.xscreensaver: where it goes in each
// shape of file the daemon, its settings program or a user writes, and that
// everything else stays as it was.
#include "host/XScreenSaverPrograms.h"

#include <gtest/gtest.h>

namespace {

const std::string kEntry = "  \"KORLAN Flow\"  /usr/bin/korlan-flow --root";
const std::string kHead = "programs: \\\n" + kEntry;

} // namespace

TEST(XScreenSaverPrograms, AddsTheEntryFirstInTheListOrAListWhereThereIsNone) {
    struct Case {
        const char* shape;
        std::string settings;
        std::optional<std::string> registered;
    };
    const std::string settingsProgramsList = "programs:\t\t\t\t\t\t\t      \\\n"
                                             "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
                                             "  GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
                                             "-\t\t\t\tnoseguy --root\t\t\t\t    \\n\n";
    for (const auto& c : {
             Case{"no file", "", kHead + "\n"},
             Case{"no list", "mode:\t\tone\nselected:\t0\n", "mode:\t\tone\nselected:\t0\n" + kHead + "\n"},
             Case{"no newline at the end", "mode: one", "mode: one\n" + kHead + "\n"},
             Case{"a last line that carries on", "lock: False \\\n", "lock: False \\\n\n" + kHead + "\n"},
             Case{"the settings program's list",
                  "# XScreenSaver Preferences File\nmode:\t\trandom\n" + settingsProgramsList + "\npointerHysteresis: 10\n",
                  "# XScreenSaver Preferences File\nmode:\t\trandom\n"
                  "programs:\t\t\t\t\t\t\t      \\\n" + kEntry + " \\n\\\n" +
                      settingsProgramsList.substr(settingsProgramsList.find('\n') + 1) + "\npointerHysteresis: 10\n"},
             Case{"an entry on the key's line", "programs: maze --root\nlock: True\n",
                  kHead + " \\n\\\n maze --root\nlock: True\n"},
             Case{"an empty list", "programs:\nlock: True\n", kHead + "\nlock: True\n"},
             Case{"a comment naming us", "! programs: korlan-flow --root\nprograms: maze --root\n",
                  "! programs: korlan-flow --root\n" + kHead + " \\n\\\n maze --root\n"},
             Case{"a program whose name only begins like ours", "programs: \\\n  korlan-flow-old --root\n",
                  kHead + " \\n\\\n  korlan-flow-old --root\n"},
             // The later list is the one the daemon reads.
             Case{"two lists", "programs: maze --root\nprograms: qix --root\n",
                  "programs: maze --root\n" + kHead + " \\n\\\n qix --root\n"},
             Case{"ours among the others", "programs: \\\n  maze --root \\n\\\n  \"KORLAN Flow\"  /opt/kf/bin/korlan-flow --software --root\n",
                  std::nullopt},
             Case{"ours disabled, with a visual and a quoted path", "programs: \\\n- GL: \t'/my dir/korlan-flow' --root\n",
                  std::nullopt},
             Case{"ours on the key's line, by name only", "programs: korlan-flow -root\n", std::nullopt},
             Case{"ours in a quoted directory", "programs: \"KORLAN Flow\" /home/o\\'hara/\"my \"'builds'/korlan-flow\n",
                  std::nullopt},
             // The daemon wants the backslash right before the line's end;
             // a blank after it does not hide our entry.
             Case{"a blank after the key's backslash", "programs: \\ \n  maze --root\n",
                  "programs: \\ \n" + kEntry + " \\n\\\n  maze --root\n"},
             Case{"ours behind a backslash and a tab", "programs: \\\t\n  \"KORLAN Flow\"  korlan-flow --root\n",
                  std::nullopt},
             Case{"a last line that carries on past a blank", "lock: False \\ \n",
                  "lock: False \\ \n\n" + kHead + "\n"},
             // Lines added to a file that ends its lines in "\r\n" end so too.
             Case{"no list, CRLF", "mode: one\r\nlock: True",
                  "mode: one\r\nlock: True\r\nprograms: \\\r\n" + kEntry + "\r\n"},
             Case{"the list, CRLF", "programs: \\\r\n  maze --root\r\nlock: True\r\n",
                  "programs: \\\r\n" + kEntry + " \\n\\\r\n  maze --root\r\nlock: True\r\n"},
             Case{"an entry on the key's line, CRLF", "programs: maze --root\r\n",
                  "programs: \\\r\n" + kEntry + " \\n\\\r\n maze --root\r\n"},
             Case{"ours in a CRLF list", "programs: \\\r\n  maze --root \\n\\\r\n  korlan-flow --root\r\n",
                  std::nullopt},
         }) {
        const auto registered = withProgramsEntry(c.settings, kEntry, "korlan-flow");
        EXPECT_EQ(registered, c.registered) << c.shape;
        // What it wrote, it reads as registered the next time.
        if (registered) {
            EXPECT_EQ(withProgramsEntry(*registered, kEntry, "korlan-flow"), std::nullopt) << c.shape;
        }
    }
}

TEST(XScreenSaverPrograms, QuotesOnlyCommandWordsThatNeedIt) {
    struct Case {
        const char* text;
        const char* word;
    };
    for (const auto& c : {
             Case{"/usr/bin/korlan-flow", "/usr/bin/korlan-flow"},
             Case{"/home/me/build-1.2+x/korlan-flow", "/home/me/build-1.2+x/korlan-flow"},
             Case{"/home/me/my builds/korlan-flow", "'/home/me/my builds/korlan-flow'"},
             Case{"/home/o'hara/$x/korlan-flow", "'/home/o'\\''hara/$x/korlan-flow'"},
             Case{"", "''"},
         }) {
        EXPECT_EQ(shellWord(c.text), c.word) << c.text;
        if (!std::string_view(c.text).ends_with("/korlan-flow")) continue;
        // A list that runs the word knows it for ours.
        const auto registered = withProgramsEntry("", programsEntry("KORLAN Flow", shellWord(c.text)), "korlan-flow");
        ASSERT_TRUE(registered);
        EXPECT_EQ(withProgramsEntry(*registered, kEntry, "korlan-flow"), std::nullopt) << *registered;
    }
}
