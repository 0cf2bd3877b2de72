#include "base/text.h"

#include <atomic>
#include <cctype>

// i18n/en.po as it was when the program was built (text_catalogue.cpp.in).
extern const char* const kEnglishPo;

namespace base {

namespace {

std::atomic<Language> chosen{Language::Chinese};

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// One quoted PO string: its text with the escapes undone, or nothing when it is not one.
std::optional<std::string> unquote(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) line.remove_suffix(1);
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') return std::nullopt;
    line = line.substr(1, line.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            out += line[i];
            continue;
        }
        switch (const char c = line[++i]) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            default: out += c; break;  // \" and \\ and anything else: the character itself
        }
    }
    return out;
}

}  // namespace

void SetLanguage(Language language) { chosen = language; }
Language CurrentLanguage() { return chosen; }

std::optional<Language> ParseLanguage(std::string_view name) {
    const std::string n = lower(name);
    if (n == "zh" || n.rfind("zh_", 0) == 0 || n.rfind("zh-", 0) == 0 || n == "chinese") return Language::Chinese;
    if (n == "en" || n.rfind("en_", 0) == 0 || n.rfind("en-", 0) == 0 || n == "english") return Language::English;
    return std::nullopt;
}

std::string_view LanguageCode(Language language) { return language == Language::English ? "en" : "zh"; }

std::map<std::string, std::string> ParsePo(std::string_view po) {
    std::map<std::string, std::string> entries;
    std::string id, str, context;
    std::string* open = nullptr;  // the string continuation lines add to
    bool fuzzy = false;
    auto finish = [&] {
        if (!id.empty() && !str.empty() && !fuzzy && context.empty()) entries.emplace(id, str);
        id.clear();
        str.clear();
        context.clear();
        open = nullptr;
        fuzzy = false;
    };
    std::size_t start = 0;
    bool sawString = false;  // the entry has its msgstr: the next keyword starts a new one
    while (start <= po.size()) {
        std::size_t end = po.find('\n', start);
        if (end == std::string_view::npos) end = po.size();
        const std::string_view line = po.substr(start, end - start);
        start = end + 1;
        auto keyword = [&](std::string_view word) {
            return line.rfind(word, 0) == 0 && line.size() > word.size() &&
                   (line[word.size()] == ' ' || line[word.size()] == '\t');
        };
        if (line.rfind("#,", 0) == 0) {
            if (sawString) finish(), sawString = false;
            if (line.find("fuzzy") != std::string_view::npos) fuzzy = true;
        } else if (line.empty() || line.front() == '#') {
            if (line.empty() && sawString) finish(), sawString = false;
        } else if (keyword("msgctxt")) {
            if (sawString) finish(), sawString = false;
            const auto s = unquote(line.substr(7));
            if (!s) break;
            context = *s;
            if (context.empty()) context = " ";  // an empty context is still a context
            open = &context;
        } else if (keyword("msgid")) {
            if (sawString) finish(), sawString = false;
            const auto s = unquote(line.substr(5));
            if (!s) break;
            id = *s;
            open = &id;
        } else if (keyword("msgstr")) {
            const auto s = unquote(line.substr(6));
            if (!s) break;
            str = *s;
            open = &str;
            sawString = true;
        } else if (const auto s = unquote(line); s && open) {
            *open += *s;
        } else if (line.find_first_not_of(" \t\r") != std::string_view::npos) {
            break;  // not PO: keep what was read
        }
        if (end == po.size()) break;
    }
    if (sawString) finish();
    return entries;
}

const std::map<std::string, std::string>& Catalogue(Language language) {
    static const std::map<std::string, std::string> none;
    static const std::map<std::string, std::string> english = ParsePo(kEnglishPo);
    return language == Language::English ? english : none;
}

const char* TrIn(Language language, const char* source) {
    if (language == Language::Chinese || source == nullptr) return source;
    const auto& entries = Catalogue(language);
    const auto found = entries.find(source);
    return found == entries.end() ? source : found->second.c_str();
}

const char* Tr(const char* source) { return TrIn(chosen, source); }

std::string Tr(const std::string& source) { return Tr(source.c_str()); }

std::string Fill(std::string_view pattern, const std::vector<std::string>& arguments) {
    std::string out;
    out.reserve(pattern.size() + 16);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            const char next = pattern[i + 1];
            if (next == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (next >= '1' && next <= '9' && static_cast<std::size_t>(next - '1') < arguments.size()) {
                out += arguments[static_cast<std::size_t>(next - '1')];
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

}  // namespace base
