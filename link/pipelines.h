// The safe ways to program a radio, the same in the windows and on the command line:
// a read that keeps a raw backup of what it received, and a write that backs the radio up
// first and reads it back afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/link.h"

namespace radiolink {

// A full read into `state` that keeps a backup of the bytes received (link/backups.h) named
// after `port`; a read that stopped early keeps its image under an "incomplete" name, and a
// read that received nothing keeps none. The result's detail names the backup or why it
// could not be saved (which does not change the read's result), and every name or
// power-on line that holds bytes that are no GBK text (kept as they are).
// `raw`, when given, receives the bytes as the backup holds them.
Result ReadKeepingBackup(Radio& radio, image::EditorState& state, const std::string& port,
                         const Progress& progress = {}, std::vector<std::uint8_t>* raw = nullptr);

enum class Step { Backup, Write, Verify };

struct WritePlan {
    bool backup = true;   // read the radio and keep a backup before anything is written
    bool verify = false;  // read the radio back and compare every byte the write sent
};

// Checks every frame first (a field that cannot be encoded sends nothing), then backs up,
// writes and verifies as planned, each step a procedure of its own. No byte is written
// unless the backup was read and saved. The result is one verdict: "写频正确!" only when the
// write and, if asked, the read-back both succeeded. `step` is told which step begins.
Result WriteSafely(Radio& radio, const image::EditorState& state, const WritePlan& plan, const std::string& port,
                   const Progress& progress = {}, const std::function<void(Step)>& step = {});

// Writes an image back (RestoreRadio) as WriteSafely writes a state: unless `backUp` is
// false, the radio is first read and kept as a backup, and nothing is written when that
// backup was not read and saved.
Result RestoreSafely(Radio& radio, const std::vector<std::uint8_t>& image, bool backUp, const std::string& port,
                     const Progress& progress = {}, const std::function<void(Step)>& step = {});

}  // namespace radiolink
