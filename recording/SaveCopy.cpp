// The Save As copy. Written to "<folder>/.qtr-save.XXXXXX" beside the target and renamed over it,
// so that another process never sees a half-written recording and a failure keeps what was there.
#include "SaveCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <vector>

#include "RecordingFormat.h"

namespace recording {
namespace {

inline constexpr std::size_t CopyBlock = 512;
inline constexpr char QtrExtension[] = ".qtr";

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666) & ~mask;
}

// Where the copy really goes: a symbolic link is followed to the file it names, so that saving
// over a link updates the linked file instead of replacing the link.
std::string ResolveTarget(const std::string& target) {
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(target.c_str(), nullptr)) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return target;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool CopyStream(std::FILE* source, std::FILE* out) {
  std::array<unsigned char, CopyBlock> block{};
  if (std::fseek(source, 0, SEEK_SET) != 0) return false;
  std::size_t n = std::fread(block.data(), 1, HeaderSize, source);
  if (std::fwrite(block.data(), 1, n, out) != n) return false;
  while (std::feof(source) == 0) {
    if (std::ferror(source) != 0) return false;
    n = std::fread(block.data(), 1, block.size(), source);
    if (n > 0 && std::fwrite(block.data(), 1, n, out) != n) return false;
  }
  return std::ferror(source) == 0;
}

}  // namespace

std::string WithQtrExtension(const std::string& name) {
  const std::string_view ext = QtrExtension;
  if (name.size() >= ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0) return name;
  return name + QtrExtension;
}

bool IsSameFile(std::FILE* open, const std::string& path) {
  if (open == nullptr) return false;
  struct stat a {};
  struct stat b {};
  if (::fstat(::fileno(open), &a) != 0 || ::stat(path.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

CopyResult CopyRecording(std::FILE* source, const std::string& target) {
  if (source == nullptr || target.empty()) return CopyResult::Failed;
  const std::string path = ResolveTarget(target);
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) return CopyResult::Failed;

  // A short fixed stem: the target's own name may already be as long as the system allows.
  std::string temp = FolderOf(path) + "/.qtr-save.XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return CopyResult::Failed;
  temp.assign(name.data());

  bool ok = ::fchmod(fd, NewFileMode()) == 0;
  std::FILE* out = ok ? ::fdopen(fd, "wb") : nullptr;
  if (out == nullptr) {
    ::close(fd);
    ::unlink(temp.c_str());
    return CopyResult::Failed;
  }
  ok = CopyStream(source, out);
  ok = ok && std::fflush(out) == 0 && ::fsync(::fileno(out)) == 0;
  ok = (std::fclose(out) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return CopyResult::Failed;
  }
  return CopyResult::Copied;
}

}  // namespace recording
