#pragma once

#include <optional>
#include <string>
#include <string_view>

// The programs: resource of XScreenSaver's per-user settings file,
// ~/.xscreensaver: the hacks its daemon picks from and its settings program
// lists. Entries are separated by "\n" (backslash, n) and the value goes on
// over lines that end in a backslash. An entry is an optional "-" (disabled),
// an optional visual ("GL:"), an optional quoted label and a shell command.
// The daemon merges the system's list into the user's, so a list that names
// only our saver still offers every other hack.

// The entry that runs command, shown as label.
std::string programsEntry(std::string_view label, std::string_view command);

// settings with entry added at the head of its programs list (a list is
// added when it has none), or nullopt when an entry there already runs a
// program whose file is called programName, enabled or not. Every line stays
// as it was, byte for byte, except a first line of the list that holds an
// entry itself: that one is split after "programs:". Lines added end in
// "\r\n" where the file's first line does.
std::optional<std::string> withProgramsEntry(std::string_view settings, std::string_view entry,
                                             std::string_view programName);

// text as one word of a shell command: as it is when it needs no quoting,
// else in single quotes.
std::string shellWord(std::string_view text);
