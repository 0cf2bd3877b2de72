// Every text a person reads, in the language chosen for this process. Chinese is the source
// language: a text is written in Chinese where it is made, and that text is its id. The
// English beside it is in the catalogue i18n/en.po (gettext's format), compiled into the
// program. Placeholders are %1..%9, so a translation may put them in another order.
//
//   Tr("读取成功!")                      the text in the chosen language
//   Tr("第 %1 块没有应答", block)        with its arguments filled in
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace base {

enum class Language { Chinese, English };

// Chinese until the program says otherwise, once, at its start.
void SetLanguage(Language language);
Language CurrentLanguage();
// "zh" or "en" (also "zh_CN", "en_US", "chinese", "english", any case); nothing for others.
std::optional<Language> ParseLanguage(std::string_view name);
std::string_view LanguageCode(Language language);  // "zh", "en"

// The text in the chosen language: the catalogue's translation, or the source where it has
// none. The pointer stays valid for the life of the program.
const char* Tr(const char* source);
std::string Tr(const std::string& source);
// The same in a given language, whatever the process speaks (what is said right after a
// language is chosen is said in that one).
const char* TrIn(Language language, const char* source);

// The pattern with %1..%9 replaced by the arguments in order; "%%" is one "%". A placeholder
// without an argument stays as it is.
std::string Fill(std::string_view pattern, const std::vector<std::string>& arguments);

namespace detail {
inline std::string argument(const std::string& s) { return s; }
inline std::string argument(std::string_view s) { return std::string(s); }
inline std::string argument(const char* s) { return s; }
template <class N, class = std::enable_if_t<std::is_integral_v<N>>>
std::string argument(N n) {
    if constexpr (std::is_same_v<N, char>) return std::string(1, n);
    else return std::to_string(n);
}
}  // namespace detail

template <class First, class... Rest>
std::string Tr(const char* source, const First& first, const Rest&... rest) {
    return Fill(Tr(source), {detail::argument(first), detail::argument(rest)...});
}

// The catalogue's entries, source text to translation, for a language (empty for Chinese).
const std::map<std::string, std::string>& Catalogue(Language language);

// Entries of a catalogue in gettext's PO format: msgid to msgstr, without the header, fuzzy
// or untranslated entries. A malformed file gives what was read up to the fault.
std::map<std::string, std::string> ParsePo(std::string_view po);

// For the tests: the language for one scope, restored after it.
class LanguageScope {
public:
    explicit LanguageScope(Language language) : previous_(CurrentLanguage()) { SetLanguage(language); }
    ~LanguageScope() { SetLanguage(previous_); }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

private:
    Language previous_;
};

}  // namespace base
