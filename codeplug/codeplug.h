// The ".bc" codeplug file: a snapshot of what the editor's controls hold, as GBK text of 262
// comma-terminated records. Save writes the controls and the hidden block fields as they
// stand; Open puts both back; neither decodes or encodes a block.
//
// Records (numbered from 1) and their fields (numbered from 0):
//   1..128    StringGrid1 rows 1..128, 14 cell fields
//   129       upper band page: left1, left2, left3, left4..left8, left10..left16
//   130..257  StringGrid2 rows 1..128, 14 cell fields
//   258       lower band page: right1 .. right16 as record 129
//   259       general page: gn1..gn15
//   260       power-on message and band limits: kaiji1, kaiji2, xp1..xp4, xp5
//   261       hidden block fields k1..k15
//   262       identity codes and DTMF: sypz1..sypz8, sypz9, sy1..sy8
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "image/editor_state.h"
#include "base/outcome.h"

namespace codeplug {

inline constexpr int kRecords = 262;

enum class FieldKind {
    Index,  // selected entry of a drop-down list, decimal, "-1" for none
    Text,   // an edit's text followed by one space
    Cell,   // a grid cell as shown, one space when empty
    Block,  // a hidden block field: uppercase hex digits of fixed length
};

struct FieldInfo {
    FieldKind kind;
    const char* control;  // "left4", "gn13", "k11", or the grid column heading for a cell
    int size;             // Index: number of list entries; Block: digits; otherwise 0
};

// The texts a result carries are in the process's language (base/text.h). The standard error
// texts at their head ("'%s' is not a valid integer value", "List index out of bounds (%d)",
// "Cannot open file ...") are the same in every language.

// The layout: how many fields record r (1..262) has, and what field f (0-based) is.
int FieldCount(int record);
FieldInfo Field(int record, int field);
// "上段信道 第5行", "综合设置", ... for messages.
std::string RecordName(int record);
// "第259条记录(综合设置)第12个字段(gn13)".
std::string Where(int record, int field);

// The file's bytes for a state. Characters the format cannot carry back (a comma, a quote,
// a line break, a "~" opening a record, a character without a GBK form, a cell that is a
// single space) are written as a space, and each field so changed is listed in the notes.
// A block field of the wrong length or with a non-hex digit is not written: the error says
// which, and there are no bytes.
using SaveText = base::Outcome<std::string>;
SaveText ToText(const image::EditorState& state);

// A file's bytes parsed into a copy of `current`: every cell of rows 1..128, every control and
// every hidden block field comes from the file; the headings and the position fields stay as
// in `current`. The whole file is checked first: a missing record or field, an index field
// that is no integer, a block field of the wrong length or with a non-hex character gives
// an error (BadData, naming the record and the field), and the state is then `current`
// unchanged.
// Bytes that are no GBK are kept (as base/gbk.h describes: Save writes them back unchanged),
// shown as the replacement mark, and listed in the notes.
using OpenResult = base::Outcome<image::EditorState>;
OpenResult FromText(std::string_view bytes, const image::EditorState& current = image::EditorState());

// New: both grids, every control and k1..k15 as at start-up; only the position fields of
// `current` (the cell under edit) are kept.
image::EditorState New(const image::EditorState& current);

// The path Save writes for the chosen name: ".bc" is appended unless the name already ends
// in ".bc" (in any letter case).
std::string PathForSave(std::string_view chosenName);

// Writes the state to exactly `path`: a temporary file beside it is written, flushed to disk
// and renamed over it, so a failed save leaves an existing file as it was. The error is
// "Cannot create file \"<path>\". <reason>" with the system's reason and kind (as
// files::WriteAtomically gives them). The notes are ToText's.
base::Outcome<> SaveFile(const std::string& path, const image::EditorState& state);

// The bytes written to `path` the same way, with the error as above.
base::Outcome<> WriteAtomically(const std::string& path, std::string_view bytes);

// A full codeplug file is about 21 KB; anything larger than this is refused unread.
inline constexpr std::size_t kMaxFileBytes = 1 << 20;

// Reads and parses the file at `path`. A file that cannot be read, is no regular file or is
// larger than kMaxFileBytes gives "Cannot open file \"<path>\". <reason>" with the reason's
// kind; otherwise as FromText, with the path as the context of a BadData error (the error
// itself names only the record and field, message() names the file too).
OpenResult OpenFile(const std::string& path, const image::EditorState& current = image::EditorState());

}  // namespace codeplug
