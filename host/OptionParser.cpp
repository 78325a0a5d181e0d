#include "host/OptionParser.h"

#include <getopt.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kHelpShortOption = 'h';

std::vector<option> longOptionsOf(std::span<const OptionSpec> definitions) {
    std::vector<option> table;
    for (const auto& definition : definitions) {
        table.push_back({definition.name, definition.takesValue ? required_argument : no_argument, nullptr, definition.id});
    }
    table.push_back({nullptr, 0, nullptr, 0});
    return table;
}

const OptionSpec* helpDefinition(std::span<const OptionSpec> definitions) {
    for (const auto& definition : definitions) {
        if (std::strcmp(definition.name, "help") == 0) return &definition;
    }
    return nullptr;
}

// The option as the user wrote it, without a value joined by "=".
std::string spelling(const char* argument) {
    const char* equals = std::strchr(argument, '=');
    return equals ? std::string(argument, equals) : std::string(argument);
}

} // namespace

std::optional<ParsedArguments> parseOptions(std::span<char* const> arguments, std::span<const OptionSpec> definitions,
                                            std::string& problem) {
    // getopt wants argv as main has it: a program name first, then the
    // arguments, and a null after them.
    std::vector<char*> argv{const_cast<char*>("korlan-flow")};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    argv.push_back(nullptr);
    const auto longOptions = longOptionsOf(definitions);
    const OptionSpec* help = helpDefinition(definitions);
    // "+": stop at the first operand, which is a command with options of its
    // own; ":": report a missing value apart from an unknown option.
    const char* shortOptions = help ? "+:h" : "+:";

    ParsedArguments parsed;
    optind = 0; // glibc: start afresh, as for a new argv
    opterr = 0;
    const int argc = int(argv.size()) - 1;
    for (int found; (found = getopt_long_only(argc, argv.data(), shortOptions, longOptions.data(), nullptr)) != -1;) {
        if (found == '?') {
            problem = "unknown option: " + spelling(argv[optind - 1]);
            return std::nullopt;
        }
        if (found == ':') {
            problem = spelling(argv[optind - 1]) + " needs a value";
            return std::nullopt;
        }
        if (found == kHelpShortOption && help) found = help->id;
        parsed.options.push_back({found, optarg ? optarg : ""});
    }
    for (int index = optind; index < argc; ++index) parsed.operands.emplace_back(argv[index]);
    return parsed;
}

std::string badValue(std::span<const OptionSpec> definitions, const ParsedOption& option) {
    // The id came from the table through getopt.
    const auto definition = std::ranges::find(definitions, option.id, &OptionSpec::id);
    return "bad value for --" + std::string(definition->name) + ": " + option.value;
}
