// viewer-script PROGRAM [SCRIPT]: runs PROGRAM's main form headless through a script of user
// actions (a file, or standard input when absent or "-") and prints one JSON line per action.
#include <cstdio>
#include <iostream>
#include <sstream>

#include "ViewerScript.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: viewer-script calvora|vespira [SCRIPT|-]\n");
    return 2;
  }
  const auto program = viewer_script::FindProgram(argv[1]);
  if (!program) {
    std::fprintf(stderr, "viewer-script: unknown program '%s' (calvora or vespira)\n", argv[1]);
    return 2;
  }
  std::stringstream text;
  if (argc == 2 || std::string(argv[2]) == "-") {
    text << std::cin.rdbuf();
  } else {
    // Read with stdio so that a read error (a folder given as the script, an I/O error) is
    // seen: it would otherwise pass for an empty script and a successful run.
    std::FILE* in = std::fopen(argv[2], "rb");
    bool readable = in != nullptr;
    if (readable) {
      char buffer[4096];
      std::size_t count = 0;
      while ((count = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.write(buffer, static_cast<std::streamsize>(count));
      readable = std::ferror(in) == 0;
      std::fclose(in);
    }
    if (!readable) {
      std::fprintf(stderr, "viewer-script: cannot read script '%s'\n", argv[2]);
      return 2;
    }
  }
  std::string error;
  const int status = viewer_script::RunScript(
      text.str(), *program, [](const std::string& line) { std::fputs((line + "\n").c_str(), stdout); }, &error);
  if (status != 0) std::fprintf(stderr, "viewer-script: %s\n", error.c_str());
  return status;
}
