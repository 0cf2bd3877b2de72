// The characters a ".bc" codeplug file cannot carry back in a text or a cell: the reader
// would end the field or the record there, or open a quoted stretch. Every way text enters
// the editor refuses them, and the writer replaces what still holds one.
#pragma once

namespace image {

// A comma, either quote character or a line break, anywhere in a text.
constexpr bool BreaksFileField(char c) { return c == ',' || c == '\'' || c == '"' || c == '\r' || c == '\n'; }

// A "~" as the first character of a record. The editors refuse it at the start of any text
// they hold, wherever the text lands in the file.
constexpr bool BreaksFileAtStart(char c) { return c == '~'; }

}  // namespace image
