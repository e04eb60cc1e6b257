// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace quillby {

// Name patterns of log files.
namespace LogNames {

// A compressed file: *.gz, *.xz, *.bz2, *.zst, *.lz4.
bool isCompressed(std::string_view name);
// A log set aside by rotation or archiving: x.1, x.2.gz, x.old, x-20240101 (with or without a
// compression ending), any compressed file, and an archived journal (system@....journal,
// *.journal~).
bool isRotatedOrArchived(std::string_view name);
// A journal file journald has closed (system@....journal, *.journal~): what "journalctl
// --vacuum-size" removes; never the active system.journal or user-N.journal.
bool isArchivedJournal(std::string_view name);
// A log file: *.log or *.log.N, either possibly compressed.
bool isLogFile(std::string_view name);

}  // namespace LogNames

}  // namespace quillby
