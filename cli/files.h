// What the offline commands share: opening and saving codeplug files with one-line error
// reports, reading whole files, and text columns that line up on a terminal.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/editor_state.h"
#include "base/outcome.h"
#include "image/transfer.h"

namespace cli {

// "radio-cli <command>: <message>" on stderr, one line.
void Fail(std::string_view command, std::string_view message);

// Opens a codeplug file; on failure reports it (naming the file) and gives nullopt.
std::optional<image::EditorState> OpenCodeplug(std::string_view command, const std::string& path);

// Saves under PathForSave(name); fields Save had to change, and a failure, are reported on
// stderr; the failure is given back too.
base::Outcome<> SaveCodeplug(std::string_view command, const std::string& name, const image::EditorState& state);

// The whole file (files::ReadFile: the system's reason, or that it is no regular file or is
// larger than `maxBytes`). The bound defaults to a memory image's size, which is what the
// commands reading raw images need.
base::Outcome<std::string> ReadFile(const std::string& path, std::size_t maxBytes = image::kImageSize);
// Writes the bytes to a temporary file beside `path` and renames it over `path`; with a
// mode, the file gets exactly that mode (0600 for what holds a radio's memory). The error
// reads "Cannot create file \"<path>\". <reason>".
base::Outcome<> WriteFile(const std::string& path, std::string_view bytes, std::optional<unsigned> mode = std::nullopt);

// Columns on a terminal: Chinese and other wide characters take two cells.
std::size_t DisplayWidth(std::string_view utf8);
// The text followed by spaces up to `width` terminal cells.
std::string PadRight(std::string_view utf8, std::size_t width);

// Rows of cells printed as aligned columns, two spaces apart, without trailing blanks.
std::string FormatTable(const std::vector<std::vector<std::string>>& rows);

}  // namespace cli
