#include "host/XScreenSaverPrograms.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

constexpr std::string_view kKey = "programs";
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kEntrySeparator = "\\n";
constexpr std::string_view kContinuation = " \\\n";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A physical line without its newline, and where it starts in the text.
struct Line {
    std::string_view text;
    std::size_t offset;
};

std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> lines;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        lines.push_back({text.substr(start, end - start), start});
        start = end + 1;
    }
    return lines;
}

bool continues(std::string_view line) { return line.ends_with('\\'); }

// The resource's name on the first line of a resource; empty for comments and
// lines without one.
std::string_view keyOf(std::string_view line) {
    const auto text = trimmed(line);
    if (text.starts_with('#') || text.starts_with('!')) return {};
    const auto colon = text.find(':');
    return colon == std::string_view::npos ? std::string_view() : trimmed(text.substr(0, colon));
}

// The first and last physical line of the programs resource; the last one
// when the file sets it more than once, as that is the one that counts.
struct Span {
    std::size_t first, last;
};

std::optional<Span> programsResource(const std::vector<Line>& lines) {
    std::optional<Span> found;
    for (std::size_t first = 0; first < lines.size();) {
        std::size_t last = first;
        while (continues(lines[last].text) && last + 1 < lines.size()) ++last;
        if (keyOf(lines[first].text) == kKey) found = Span{first, last};
        first = last + 1;
    }
    return found;
}

std::vector<std::string> entriesOf(const std::vector<Line>& lines, Span resource) {
    std::string value;
    for (std::size_t index = resource.first; index <= resource.last; ++index) {
        auto text = lines[index].text;
        if (index == resource.first) text.remove_prefix(text.find(':') + 1);
        if (continues(text)) text.remove_suffix(1);
        value += text;
    }
    std::vector<std::string> entries;
    for (std::size_t start = 0; start <= value.size();) {
        const auto end = std::min(value.find(kEntrySeparator, start), value.size());
        entries.push_back(value.substr(start, end - start));
        start = end + kEntrySeparator.size();
    }
    return entries;
}

// The first word of a shell command as the shell reads it: quotes and
// backslashes taken off.
std::string firstShellWord(std::string_view command) {
    std::string word;
    char quote = 0;
    for (std::size_t index = 0; index < command.size(); ++index) {
        const char c = command[index];
        const bool escapes = c == '\\' && quote != '\'' && index + 1 < command.size();
        if (escapes) {
            word += command[++index];
        } else if (quote) {
            if (c == quote) quote = 0;
            else word += c;
        } else if (kBlanks.find(c) != std::string_view::npos) {
            break;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else {
            word += c;
        }
    }
    return word;
}

// The file name of the program an entry runs: the first word of its command,
// after the "-", the visual and the label.
std::string programOf(std::string_view entry) {
    auto text = trimmed(entry);
    if (text.starts_with('-')) text = trimmed(text.substr(1));
    const auto firstWord = text.substr(0, text.find_first_of(kBlanks));
    if (firstWord.ends_with(':')) text = trimmed(text.substr(firstWord.size()));
    if (text.starts_with('"')) {
        const auto closing = text.find('"', 1);
        text = closing == std::string_view::npos ? std::string_view() : trimmed(text.substr(closing + 1));
    }
    return std::filesystem::path(firstShellWord(text)).filename().string();
}

// The list's first line split after the key, so that our entry comes first;
// kept as it is when it holds nothing but the key.
std::string headedBy(std::string_view keyLine, std::string_view entry) {
    const auto afterKey = keyLine.find(':') + 1;
    const auto rest = keyLine.substr(afterKey);
    if (trimmed(rest) == "\\") return std::string(keyLine) + "\n" + std::string(entry) + " \\n\\";
    std::string head = std::string(keyLine.substr(0, afterKey)) + std::string(kContinuation) + std::string(entry);
    if (!trimmed(rest).empty()) head += " \\n\\\n" + std::string(rest);
    return head;
}

} // namespace

std::string programsEntry(std::string_view label, std::string_view command) {
    return "  \"" + std::string(label) + "\"  " + std::string(command);
}

std::optional<std::string> withProgramsEntry(std::string_view settings, std::string_view entry,
                                             std::string_view programName) {
    const auto lines = linesOf(settings);
    const auto resource = programsResource(lines);
    if (!resource) {
        std::string added(settings);
        // A last line without its newline is ended, and one that would carry
        // on into ours is followed by an empty one.
        if (!settings.empty() && !settings.ends_with('\n')) added += '\n';
        if (!lines.empty() && continues(lines.back().text)) added += '\n';
        return added + std::string(kKey) + ":" + std::string(kContinuation) + std::string(entry) + "\n";
    }
    const auto entries = entriesOf(lines, *resource);
    if (std::any_of(entries.begin(), entries.end(),
                    [&](const std::string& existing) { return programOf(existing) == programName; })) {
        return std::nullopt;
    }
    const Line& keyLine = lines[resource->first];
    return std::string(settings.substr(0, keyLine.offset)) + headedBy(keyLine.text, entry) +
           std::string(settings.substr(keyLine.offset + keyLine.text.size()));
}

std::string shellWord(std::string_view text) {
    constexpr std::string_view kPlain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._+-=,:@%";
    if (!text.empty() && text.find_first_not_of(kPlain) == std::string_view::npos) return std::string(text);
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
