// Vespira's program: its entry on the Qt realisation.
#include "QtApplication.h"
#include "VespiraUnit1.h"

int main(int argc, char* argv[]) { return platform::qt::RunProgram(argc, argv, &vespira::ProgramEntry); }
