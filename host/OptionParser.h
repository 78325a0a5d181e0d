#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

// An option a command accepts: --name, and -name as the X screen-saver
// daemons spell it; takesValue for --name VALUE and --name=VALUE.
struct OptionSpec {
    const char* name;
    bool takesValue;
    int id;
};

struct ParsedOption {
    int id;
    std::string value;
};

struct ParsedArguments {
    std::vector<ParsedOption> options;
    // What follows the options: a command and its arguments.
    std::vector<std::string> operands;
};

// Reads the options in the order given, up to the first argument that is
// not one ("--" ends them too); -h stands for --help where the command has
// it. Nullopt with the problem ("unknown option: --frob", "--width needs a
// value") otherwise. The arguments exclude the program's name.
std::optional<ParsedArguments> parseOptions(std::span<char* const> arguments, std::span<const OptionSpec> definitions,
                                            std::string& problem);

// "bad value for --NAME: VALUE".
std::string badValue(std::span<const OptionSpec> definitions, const ParsedOption& option);
