#include "host/XScreenSaverPrograms.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

constexpr std::string_view kKey = "programs";
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kEntrySeparator = "\\n";
constexpr std::string_view kContinuation = " \\";

std::string_view withoutTrailingBlanks(std::string_view text) {
    return text.substr(0, text.find_last_not_of(kBlanks) + 1);
}

std::string_view trimmed(std::string_view text) {
    const auto end = withoutTrailingBlanks(text);
    const auto first = end.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view() : end.substr(first);
}

// A physical line without its line ending, and where it starts in the text.
struct Line {
    std::string_view text;
    std::size_t offset;
};

std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> lines;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        auto line = text.substr(start, end - start);
        if (end < text.size() && line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back({line, start});
        start = end + 1;
    }
    return lines;
}

// The line ending that lines added to settings get: "\r\n" where its first
// line ends so, as in a file from an editor that writes them, else "\n".
std::string_view lineEndingOf(std::string_view settings) {
    const auto newline = settings.find('\n');
    const bool crlf = newline != std::string_view::npos && newline > 0 && settings[newline - 1] == '\r';
    return crlf ? "\r\n" : "\n";
}

// The daemon carries a line on only where a backslash ends it; one followed
// by blanks is taken as carrying on too, so that an entry of ours behind
// such a line is found rather than added once more at every run.
bool continues(std::string_view line) { return withoutTrailingBlanks(line).ends_with('\\'); }

std::string_view withoutContinuation(std::string_view line) {
    if (!continues(line)) return line;
    const auto text = withoutTrailingBlanks(line);
    return text.substr(0, text.size() - 1);
}

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
        value += withoutContinuation(text);
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
std::string headedBy(std::string_view keyLine, std::string_view entry, std::string_view lineEnding) {
    const auto afterKey = keyLine.find(':') + 1;
    const auto rest = keyLine.substr(afterKey);
    const std::string followedByMore = std::string(entry) + " " + std::string(kEntrySeparator) + "\\";
    if (trimmed(rest) == "\\") return std::string(keyLine) + std::string(lineEnding) + followedByMore;
    std::string head = std::string(keyLine.substr(0, afterKey)) + std::string(kContinuation) + std::string(lineEnding);
    if (trimmed(rest).empty()) return head + std::string(entry);
    return head + followedByMore + std::string(lineEnding) + std::string(rest);
}

} // namespace

std::string programsEntry(std::string_view label, std::string_view command) {
    return "  \"" + std::string(label) + "\"  " + std::string(command);
}

std::optional<std::string> withProgramsEntry(std::string_view settings, std::string_view entry,
                                             std::string_view programName) {
    const auto lines = linesOf(settings);
    const auto resource = programsResource(lines);
    const auto lineEnding = lineEndingOf(settings);
    if (!resource) {
        std::string added(settings);
        // A last line without its newline is ended, and one that would carry
        // on into ours is followed by an empty one.
        if (!settings.empty() && !settings.ends_with('\n')) added += lineEnding;
        if (!lines.empty() && continues(lines.back().text)) added += lineEnding;
        return added + std::string(kKey) + ":" + std::string(kContinuation) + std::string(lineEnding) +
               std::string(entry) + std::string(lineEnding);
    }
    const auto entries = entriesOf(lines, *resource);
    if (std::any_of(entries.begin(), entries.end(),
                    [&](const std::string& existing) { return programOf(existing) == programName; })) {
        return std::nullopt;
    }
    const Line& keyLine = lines[resource->first];
    return std::string(settings.substr(0, keyLine.offset)) + headedBy(keyLine.text, entry, lineEnding) +
           std::string(settings.substr(keyLine.offset + keyLine.text.size()));
}

std::string shellWord(std::string_view text) {
    constexpr std::string_view kPlain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._+-=,:@%";
    if (!text.empty() && text.find_first_not_of(kPlain) == std::string_view::npos) return std::string(text);
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
