// Fuzz target: a recording and a short script of user actions, both taken from the input, run
// through the headless Calvora and Vespira windows. After every action it checks what must hold
// whatever the file holds: the stream is never sought before offset 0 (fseek is wrapped at link
// time), every frame polyline has 576 points at x = 2..577 in order and every other polyline is
// the border, the thumb stays within Min..Max, and Save As leaves no temporary file behind and
// writes nothing outside its folder.
//
// Input layout: byte 0 = number of actions (mod 48), then two bytes per action (what, argument),
// then two bytes of size (the recording is the remaining bytes tiled up to 8 x that size + the
// remainder, so that accepted recordings of a few hundred kilobytes are reached), then the bytes.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ViewerScript.h"

extern "C" int __real_fseek(std::FILE* stream, long offset, int whence);

// Every seek in the viewers goes through here in the fuzz build.
extern "C" int __wrap_fseek(std::FILE* stream, long offset, int whence) {
  if (whence == SEEK_SET && offset < 0) {
    std::fprintf(stderr, "fseek before the start of the file: %ld\n", offset);
    std::abort();
  }
  return __real_fseek(stream, offset, whence);
}

namespace {

[[noreturn]] void Fail(const std::string& what, const viewer_script::Snapshot& s) {
  std::fprintf(stderr, "invariant broken after '%s': %s\n", s.Action.c_str(), what.c_str());
  std::abort();
}

void Check(const viewer_script::Snapshot& s, int32_t max, const std::vector<recording::Point>& border) {
  for (const platform::CanvasOp& op : s.Canvas) {
    if (op.Op != platform::CanvasOp::Kind::Polyline) continue;
    if (op.Points.size() == border.size() && std::equal(border.begin(), border.end(), op.Points.begin())) continue;
    if (op.Points.size() != 576) Fail("a polyline that is neither the border nor a 576-point frame", s);
    for (std::size_t i = 0; i < op.Points.size(); ++i)
      if (op.Points[i].x != static_cast<int32_t>(2 + i)) Fail("frame column out of place", s);
  }
  if (s.Thumb < 0 || s.Thumb > max) Fail("thumb outside Min..Max", s);
  if (s.Pos && *s.Pos < 0) Fail("stream position before the file", s);
}

std::vector<std::string> FolderEntries(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
    ::closedir(d);
  }
  return names;
}

void RemoveFolder(const std::string& dir) {
  for (const std::string& name : FolderEntries(dir)) {
    if (name == "." || name == "..") continue;
    const std::string path = dir + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      RemoveFolder(path);
    else
      ::unlink(path.c_str());
  }
  ::rmdir(dir.c_str());
}

std::string ActionLine(uint8_t what, uint8_t arg, const std::string& dir, bool calvora) {
  static const char* targets[] = {"copy", "copy.qtr", "rec.qtr", "sub/x", "missing/y", "link.qtr", "sub"};
  switch (what % 16) {
    case 0: return "open " + dir + "/rec.qtr";
    case 1: return arg % 2 ? "open " + dir + "/copy.qtr" : "open " + dir + "/nothing.qtr";
    case 2: return "open-cancel";
    case 3: return calvora ? "close" : "about";
    case 4: return calvora ? "saveas " + dir + "/" + targets[arg % 7] : "scroll 1";
    case 5: return calvora ? "time " + std::to_string(1 + arg % 4) : "scroll 0";
    case 6: case 7: case 8: return "scroll " + std::to_string(arg % 4);
    case 9: return "scroll " + std::to_string(6 + arg % 2);
    case 10: return "drag " + std::to_string(static_cast<int>(arg) * 4 - 8);
    case 11: case 12: return "release " + std::to_string(static_cast<int>(arg) * 4 - 8);
    case 13: return "about";
    default: return "scroll 1";
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::size_t actions = data[0] % 48;
  if (size < 1 + 2 * actions + 2) return 0;
  const uint8_t* script = data + 1;
  const uint8_t* sizeBytes = script + 2 * actions;
  const uint8_t* body = sizeBytes + 2;
  const std::size_t bodySize = size - (body - data);
  const std::size_t fileSize = bodySize + 8 * (static_cast<std::size_t>(sizeBytes[0]) << 8 | sizeBytes[1]) * (bodySize > 0 ? 1 : 0);

  char templ[] = "/tmp/qtr-fuzz-XXXXXX";
  if (::mkdtemp(templ) == nullptr) return 0;
  const std::string dir = templ;
  ::mkdir((dir + "/sub").c_str(), 0700);
  {
    std::FILE* f = std::fopen((dir + "/rec.qtr").c_str(), "wb");
    for (std::size_t written = 0; f != nullptr && written < fileSize;) {
      const std::size_t n = std::min(bodySize, fileSize - written);
      std::fwrite(body, 1, n, f);
      written += n;
    }
    if (f != nullptr) std::fclose(f);
  }
  [[maybe_unused]] const int linked = ::symlink((dir + "/rec.qtr").c_str(), (dir + "/link.qtr").c_str());

  for (const char* program : {"calvora", "vespira"}) {
    const bool calvora = std::strcmp(program, "calvora") == 0;
    const auto traits = viewer_script::FindProgram(program);
    std::string text;
    for (std::size_t i = 0; i < actions; ++i) text += ActionLine(script[2 * i], script[2 * i + 1], dir, calvora) + "\n";
    const viewer_script::ParsedScript parsed = viewer_script::ParseScript(text, *traits);
    if (parsed.Error) std::abort();  // the generator only writes lines that check
    auto session = viewer_script::StartSession(*traits);
    const int32_t max = calvora ? 100 : 1000;
    std::vector<recording::Point> border;
    for (const viewer_script::Action& a : parsed.Actions) {
      const viewer_script::Snapshot s = session->Perform(a);
      if (border.empty()) border.assign(s.State.Border.begin(), s.State.Border.end());
      Check(s, max, border);
      for (const std::string& name : FolderEntries(dir))
        if (name.rfind(".qtr-save", 0) == 0) Fail("a temporary copy was left behind", s);
    }
  }
  RemoveFolder(dir);
  return 0;
}
