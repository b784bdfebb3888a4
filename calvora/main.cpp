// Calvora's program: its entry on the Qt realisation. A recording named on the command line (as
// a file manager starts the program) is opened as File > Open would open it.
#include "CalvoraUnit1.h"
#include "QtApplication.h"

int main(int argc, char* argv[]) {
  return platform::qt::RunProgram(argc, argv, &calvora::ProgramEntry, [](const std::string& name) { calvora::Calvora->OpenFile(name); });
}
