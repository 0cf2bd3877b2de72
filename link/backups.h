// Raw backups: every full read keeps the bytes it received as a 7168-byte image (0xFF where
// nothing was read) in the per-user data folder, so a radio that a bad write left unusable
// can be brought back to the state of any earlier read. Backups are kept for a year.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace radiolink {

// RADIO_BACKUP_DIR if set, else $XDG_DATA_HOME/radio/backups, else
// ~/.local/share/radio/backups.
std::string BackupDir();

// Writes the image as "<dir>/YYYY-MM-DD_HHMMSS_<port>.img" (the port's path with "/" as
// "_"), creating the folder, and removes backups older than a year. Returns the path, or
// "" with the reason in `error`.
std::string SaveBackup(const std::vector<std::uint8_t>& image, const std::string& port, std::string& error,
                       const std::string& dir = BackupDir());

}  // namespace radiolink
