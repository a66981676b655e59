// vortrel: the command-line face of the timeline control.
#include <cstring>
#include <exception>
#include <iostream>

#include "SelfCheck.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: vortrel --version | --help | selfcheck\n"
           "  --version   print the version\n"
           "  selfcheck   build a timeline skeleton in memory, print it and check it\n";
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc < 2) {
            PrintUsage(std::cerr);
            return 2;
        }
        const char* command = argv[1];
        if (std::strcmp(command, "--version") == 0) {
            std::cout << "vortrel " << VORTREL_VERSION << "\n";
            return 0;
        }
        if (std::strcmp(command, "--help") == 0) {
            PrintUsage(std::cout);
            return 0;
        }
        if (std::strcmp(command, "selfcheck") == 0) {
            return vortrel::RunSelfCheck(std::cout) ? 0 : 1;
        }
        std::cerr << "vortrel: unknown command '" << command << "' (see vortrel --help)\n";
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "vortrel: " << error.what() << "\n";
        return 1;
    }
}
