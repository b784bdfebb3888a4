// Calvora's program: its entry on the Qt realisation.
#include "CalvoraUnit1.h"
#include "QtApplication.h"

int main(int argc, char* argv[]) { return platform::qt::RunProgram(argc, argv, &calvora::ProgramEntry); }
