#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "WindowMode.h"
#include "cli/CliModes.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const std::string program =
        argc > 0 ? std::filesystem::path(argv[0]).filename().string() : std::string("varkel");
    const CommandLine line = ParseCommandLine(args);
    switch (line.mode) {
        case CommandLine::Mode::Help: std::cout << HelpText(program); return 0;
        case CommandLine::Mode::Version: std::cout << VersionText(); return 0;
        case CommandLine::Mode::Error: std::cerr << program << ": " << line.error << '\n'; return 2;
        case CommandLine::Mode::Record: return RunRecord(line);
        case CommandLine::Mode::Plot: return RunPlot(argc, argv, line);
        case CommandLine::Mode::ListPorts: return RunListPorts(line);
        case CommandLine::Mode::Window: break;
    }
    return RunWindow(argc, argv, line);
}
