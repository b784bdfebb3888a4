// The Save As copy: the ".qtr" name rule and a byte-for-byte copy of the open recording that
// replaces its target only once every byte is safely written, so that no failure leaves a
// partial or emptied file behind.
#pragma once

#include <cstdio>
#include <string>

namespace recording {

// The chosen name with ".qtr" appended unless it already ends in exactly ".qtr"
// (case-sensitive); at most one is appended.
std::string WithQtrExtension(const std::string& name);

// True when `path` (symbolic links followed) names the file that `open` reads: same device
// and inode, so another path or a hard link to the recording counts too.
bool IsSameFile(std::FILE* open, const std::string& path);

enum class CopyResult {
  Copied,  // the target now holds the recording, byte for byte
  Failed,  // nothing changed on disk: no temporary file is left, an existing target is intact
};

// Copies the recording read by `source` (the header first, then blocks of up to 512 bytes until
// end of file) to a new temporary file in the target's folder, and renames it over `target`
// after it was written, flushed and closed without error. A read error ends the copy as a
// failure. The copy gets the mode of a newly created file (0666 less the umask). An existing
// target that is not a regular file (a folder, a device) is refused.
CopyResult CopyRecording(std::FILE* source, const std::string& target);

}  // namespace recording
