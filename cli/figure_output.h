#pragma once
// The figure options' drawing for harrow-cli: Qt GUI on the offscreen
// platform, started only when --plot or --pdf is given, so that plain runs
// never need a display and pay nothing for it.
#include <memory>

#include "cli/cli_command.h"

// Starts a Qt GUI application (QT_QPA_PLATFORM=offscreen unless set) and
// returns the writer that draws with it; they end together.
std::unique_ptr<CliFigureWriter> StartFigureOutput(int& argc, char** argv);
