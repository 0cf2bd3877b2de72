// The texts' catalogue: every Chinese text written in the program's code has its English in
// i18n/en.po with the same placeholders, and the lookup and filling do what the code expects.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

namespace fs = std::filesystem;

struct Literal {
    std::string text;
    std::string where;  // file:line
};

bool hasNonAscii(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The string literals of a C++ source with a byte above ASCII, adjacent literals joined as
// the compiler joins them; comments, character literals and lines marked "not a text" (data
// that is the radio's or a file format's, never shown as a message) are skipped.
std::vector<Literal> chineseLiterals(const std::string& src, const std::string& file) {
    std::vector<Literal> out;
    std::size_t i = 0;
    int line = 1;
    std::string joined;
    int joinedLine = 0;
    bool open = false;  // a literal was just read; another may join it
    auto flush = [&] {
        if (open && hasNonAscii(joined)) out.push_back({joined, file + ":" + std::to_string(joinedLine)});
        open = false;
        joined.clear();
    };
    auto lineOf = [&](std::size_t at) {
        const std::size_t start = src.rfind('\n', at == 0 ? 0 : at - 1);
        const std::size_t end = src.find('\n', at);
        return src.substr(start == std::string::npos ? 0 : start + 1,
                          (end == std::string::npos ? src.size() : end) - (start == std::string::npos ? 0 : start + 1));
    };
    while (i < src.size()) {
        const char c = src[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (src.compare(i, 2, "//") == 0) {
            while (i < src.size() && src[i] != '\n') ++i;
        } else if (src.compare(i, 2, "/*") == 0) {
            const std::size_t end = src.find("*/", i + 2);
            const std::size_t stop = end == std::string::npos ? src.size() : end + 2;
            line += static_cast<int>(std::count(src.begin() + static_cast<long>(i), src.begin() + static_cast<long>(stop), '\n'));
            i = stop;
        } else if (c == '\'' ) {
            for (++i; i < src.size() && src[i] != '\''; ++i)
                if (src[i] == '\\') ++i;
            ++i;
            flush();
        } else if (c == '"' || (c == 'R' && i + 1 < src.size() && src[i + 1] == '"')) {
            std::string text;
            const int at = line;
            const bool marked = lineOf(i).find("not a text") != std::string::npos;
            if (c == 'R') {
                const std::size_t paren = src.find('(', i + 2);
                const std::string close = ")" + src.substr(i + 2, paren - i - 2) + "\"";
                const std::size_t end = src.find(close, paren);
                text = src.substr(paren + 1, end - paren - 1);
                line += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
                i = end + close.size();
            } else {
                for (++i; i < src.size() && src[i] != '"'; ++i) {
                    if (src[i] == '\\' && i + 1 < src.size()) {
                        const char e = src[++i];
                        text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                    } else {
                        text += src[i];
                    }
                }
                ++i;
            }
            if (marked) {
                flush();
                continue;
            }
            if (!open) joinedLine = at;
            joined += text;
            open = true;
        } else {
            // u8"..." and the like: the prefix is an identifier character before the quote.
            if (!(std::isalnum(static_cast<unsigned char>(c)) && i + 1 < src.size() && src[i + 1] == '"')) flush();
            ++i;
        }
    }
    flush();
    return out;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The program's sources: every folder but the tests, benchmarks and fuzzers.
std::vector<Literal> programTexts() {
    std::vector<Literal> all;
    const fs::path root = RADIO_SOURCE_TREE;
    for (const char* dir : {"app", "base", "cli", "codeplug", "editor", "exchange", "files", "fleet", "image", "link",
                            "serial", "shell", "sim", "users"}) {
        if (!fs::exists(root / dir)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / dir)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            if (entry.path().string().find("fuzz") != std::string::npos) continue;
            auto found = chineseLiterals(readFile(entry.path()), fs::relative(entry.path(), root).generic_string());
            all.insert(all.end(), found.begin(), found.end());
        }
    }
    return all;
}

std::multiset<std::string> placeholders(const std::string& s) {
    std::multiset<std::string> out;
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != '%') continue;
        if (s[i + 1] == '%') ++i;
        else if (s[i + 1] >= '1' && s[i + 1] <= '9') out.insert(s.substr(i, 2));
    }
    return out;
}

std::string poQuoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\', out += c;
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out + "\"";
}

TEST(Catalogue, EveryChineseTextOfTheProgramHasItsEnglishWithTheSamePlaceholders) {
    const auto& english = base::Catalogue(base::Language::English);
    const std::vector<Literal> texts = programTexts();
    ASSERT_GT(texts.size(), 0u) << "no sources under " << RADIO_SOURCE_TREE;
    std::ostringstream missing, wrong;
    std::set<std::string> used, reported;
    for (const Literal& t : texts) {
        used.insert(t.text);
        const auto found = english.find(t.text);
        if (found == english.end()) {
            if (reported.insert(t.text).second) missing << "#: " << t.where << "\nmsgid " << poQuoted(t.text) << "\nmsgstr \"\"\n\n";
        } else if (placeholders(found->second) != placeholders(t.text)) {
            wrong << t.where << ": " << t.text << " -> " << found->second << "\n";
        }
    }
    EXPECT_EQ(missing.str(), "") << "texts without English (paste into i18n/en.po and translate)";
    EXPECT_EQ(wrong.str(), "") << "translations whose placeholders differ from their source's";
    std::ostringstream chinese, unused;
    for (const auto& [source, translation] : english) {
        if (hasNonAscii(translation) && translation.find_first_of("\xe4\xe5\xe6\xe7\xe8\xe9") != std::string::npos)
            chinese << source << " -> " << translation << "\n";
        if (!used.count(source)) unused << source << "\n";
    }
    EXPECT_EQ(chinese.str(), "") << "English texts that still hold Chinese";
    EXPECT_EQ(unused.str(), "") << "catalogue entries no code uses any more (remove them from i18n/en.po)";
}

TEST(Catalogue, TranslatesInTheChosenLanguageAndFillsPlaceholdersInTheTranslationsOrder) {
    const std::string po = "msgid \"\"\nmsgstr \"Language: en\\n\"\n\n"
                           "#: link/x.cpp:1\nmsgid \"第%1块, 第%2次\"\nmsgstr \"try %2 \"\n\"of block %1\"\n\n"
                           "#, fuzzy\nmsgid \"关\"\nmsgstr \"Off\"\n\n"
                           "msgid \"开\"\nmsgstr \"\"\n\n"
                           "msgid \"引号\\\"\\n\"\nmsgstr \"quote\\\"\\n\"\n";
    const auto entries = base::ParsePo(po);
    EXPECT_EQ(entries, (std::map<std::string, std::string>{{"第%1块, 第%2次", "try %2 of block %1"},
                                                            {"引号\"\n", "quote\"\n"}}));
    EXPECT_EQ(base::Fill("try %2 of block %1, 100%%", {"7", "3"}), "try 3 of block 7, 100%");
    EXPECT_EQ(base::Fill("%1 and %3", {"a"}), "a and %3");

    const char* source = "读取成功!";
    EXPECT_STREQ(base::Tr(source), "读取成功!");
    {
        base::LanguageScope english(base::Language::English);
        EXPECT_STRNE(base::Tr(source), source);
        EXPECT_STREQ(base::Tr("没有这句"), "没有这句");  // no translation: the source
    }
    EXPECT_EQ(base::CurrentLanguage(), base::Language::Chinese);
    for (const auto& [name, language] : std::vector<std::pair<std::string, base::Language>>{
             {"en", base::Language::English}, {"EN_us", base::Language::English}, {"zh", base::Language::Chinese},
             {"zh_CN", base::Language::Chinese}, {"Chinese", base::Language::Chinese}})
        EXPECT_EQ(base::ParseLanguage(name), language) << name;
    EXPECT_EQ(base::ParseLanguage("de"), std::nullopt);
    EXPECT_EQ(base::ParseLanguage(""), std::nullopt);
}

}  // namespace
