// vortrel-com: runs call scripts against the registered control through IDispatch, printing
// what `vortrel script` prints.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "ComScriptRunner.h"
#include "ScriptSyntax.h"
#include "base/Utf8.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Usage() {
    std::cerr << "usage: vortrel-com script FILE [--workdir DIR] [--server DLL]\n"
                 "  runs a call script against the control registered for this user from DLL\n"
                 "  (default: Vortrel.dll next to this program)\n";
    return kExitUsage;
}

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// The arguments as UTF-8, from the wide command line.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(vortrel::ToUtf8(words[i]));
    }
    LocalFree(words);
    return arguments;
}

}  // namespace

int main() {
    // The output is compared byte for byte with the Linux tool's: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    const std::vector<std::string> arguments = Arguments();
    if (arguments.size() < 2 || arguments[0] != "script") {
        return Usage();
    }
    std::string file = arguments[1];
    std::string workdir;
    std::wstring server = ProgramFolder() + L"Vortrel.dll";
    for (size_t i = 2; i < arguments.size(); ++i) {
        if (arguments[i] == "--workdir" && i + 1 < arguments.size()) {
            workdir = arguments[++i];
        } else if (arguments[i] == "--server" && i + 1 < arguments.size()) {
            server = vortrel::FromUtf8(arguments[++i]);
        } else {
            return Usage();
        }
    }

    std::ifstream in(vortrel::ToPath(vortrel::FromUtf8(file)), std::ios::binary);
    if (!in) {
        std::cerr << "vortrel-com: cannot read the script " << file << "\n";
        return kExitFailure;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    vortrel::com::ComScriptRunner runner(std::cout);
    try {
        const std::vector<vortrel::script::Statement> statements =
            vortrel::script::ParseScript(text);
        runner.Check(statements);  // before the working folder is made
        if (!workdir.empty()) {
            const std::filesystem::path folder = vortrel::ToPath(vortrel::FromUtf8(workdir));
            std::filesystem::create_directories(folder);
            std::filesystem::current_path(folder);
        }
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
            std::cerr << "vortrel-com: COM does not start\n";
            return kExitFailure;
        }
        int status = kExitOk;
        try {
            runner.Run(statements, server);
        } catch (const vortrel::script::ScriptError& error) {
            std::cout.flush();
            std::cerr << "error: " << error.Line() << ": " << error.what() << "\n";
            status = error.GetKind() == vortrel::script::ScriptError::Kind::Script ? kExitUsage
                                                                                   : kExitFailure;
        }
        CoUninitialize();
        return status;
    } catch (const vortrel::script::ScriptError& error) {
        std::cout.flush();
        std::cerr << "error: " << error.Line() << ": " << error.what() << "\n";
        return error.GetKind() == vortrel::script::ScriptError::Kind::Script ? kExitUsage
                                                                             : kExitFailure;
    } catch (const std::exception& error) {
        std::cerr << "vortrel-com: " << error.what() << "\n";
        return kExitFailure;
    }
}
