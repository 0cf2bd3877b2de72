// Raw backups: every full read keeps the bytes it received as a 7168-byte image (0xFF where
// nothing was read) in the per-user data folder, so a radio that a bad write left unusable
// can be brought back to the state of an earlier read. A read that did not finish keeps its
// image under a name that says so. The program never deletes a backup.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/outcome.h"

namespace radiolink {

// RADIO_BACKUP_DIR if set, else $XDG_DATA_HOME/radio/backups, else
// ~/.local/share/radio/backups.
std::string BackupDir();

// A complete read: "<dir>/YYYY-MM-DD_HHMMSS_<port>.img" (the port's path with "/" as "_").
// A read that stopped before block `stoppedAt`: "...<port>.incomplete-block-<J>.img".
// The folders missing are made (0700); an existing one keeps its mode. The file is written
// atomically, synced, mode 0600.
// The value is the path; a failure says which folder or file could not be made, and why.
inline constexpr int kComplete = -1;
base::Outcome<std::string> SaveBackup(const std::vector<std::uint8_t>& image, const std::string& port,
                                       int stoppedAt = kComplete, const std::string& dir = BackupDir());

// Why an image must not be written back without the operator insisting: a backup named
// incomplete, or an image whose settings blocks (what blocks 128-135 carry, in
// 0x0200-0x03AF) are all 0xFF, which would blank the radio: Refused, with the reason.
base::Outcome<> RestoreRisk(const std::string& path, const std::vector<std::uint8_t>& image);

}  // namespace radiolink
