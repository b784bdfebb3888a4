// Vespira's program: its entry on the Qt realisation. A recording named on the command line (as
// a file manager starts the program) is opened as File > Open would open it.
#include "QtApplication.h"
#include "VespiraUnit1.h"

int main(int argc, char* argv[]) {
  return platform::qt::RunProgram(argc, argv, &vespira::ProgramEntry, [](const std::string& name) { vespira::Vespira->OpenFile(name); });
}
