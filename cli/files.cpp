#include "cli/files.h"

#include <algorithm>
#include <cstdio>

#include "codeplug/codeplug.h"
#include "files/atomic_write.h"
#include "files/read_file.h"

namespace cli {

void Fail(std::string_view command, std::string_view message) {
    std::fprintf(stderr, "radio-cli %.*s: %.*s\n", static_cast<int>(command.size()), command.data(),
                 static_cast<int>(message.size()), message.data());
}

std::optional<image::EditorState> OpenCodeplug(std::string_view command, const std::string& path) {
    codeplug::OpenResult opened = codeplug::OpenFile(path);
    if (!opened.ok()) {
        // A file that cannot be read names itself; a malformed one has the file as context.
        Fail(command, opened.message());
        return std::nullopt;
    }
    for (const auto& w : opened.notes) Fail(command, "warning: " + path + ": " + w);
    return std::move(opened.value);
}

base::Outcome<> SaveCodeplug(std::string_view command, const std::string& name, const image::EditorState& state) {
    const std::string path = codeplug::PathForSave(name);
    const base::Outcome<> saved = codeplug::SaveFile(path, state);
    if (!saved.ok())
        Fail(command, saved.error);
    else
        for (const auto& c : saved.notes) Fail(command, "warning: " + path + ": " + c);
    return saved;
}

base::Outcome<std::string> ReadFile(const std::string& path, std::size_t maxBytes) {
    return files::ReadFile(path, maxBytes);
}

base::Outcome<> WriteFile(const std::string& path, std::string_view bytes, std::optional<unsigned> mode) {
    if (!mode) return codeplug::WriteAtomically(path, bytes);
    base::Outcome<> written = files::WriteAtomically(path, bytes, {static_cast<mode_t>(*mode)});
    if (!written.ok()) written.error = "Cannot create file \"" + path + "\". " + written.message();
    written.context.clear();
    return written;
}

namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

std::size_t DisplayWidth(std::string_view s) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t n = 1;
        char32_t c = lead;
        if (lead >= 0xF0) {
            n = 4;
            c = lead & 0x07;
        } else if (lead >= 0xE0) {
            n = 3;
            c = lead & 0x0F;
        } else if (lead >= 0xC0) {
            n = 2;
            c = lead & 0x1F;
        }
        if (i + n > s.size()) n = s.size() - i;
        for (std::size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        width += isWide(c) ? 2 : 1;
        i += n;
    }
    return width;
}

std::string PadRight(std::string_view s, std::size_t width) {
    std::string out(s);
    const std::size_t w = DisplayWidth(s);
    if (w < width) out.append(width - w, ' ');
    return out;
}

std::string FormatTable(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (row.size() > widths.size()) widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) line += "  ";
            line += c + 1 == row.size() ? row[c] : PadRight(row[c], widths[c]);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line;
        out += '\n';
    }
    return out;
}

}  // namespace cli
