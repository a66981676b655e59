// Fuzz target of the call-script parser: the input is a script. A script fault is an
// expected answer; any other exception, a crash or undefined behaviour is a finding. A
// script that parses as a whole parses line by line to the same statements.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ScriptSyntax.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vortrel::script;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    bool parsed = true;
    size_t statements = 0;
    try {
        statements = ParseScript(text).size();
    } catch (const ScriptError&) {
        parsed = false;
    }

    size_t lines = 0;
    int number = 0;
    bool linesParsed = true;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        try {
            if (auto statement = ParseStatement(text.substr(start, end - start), ++number)) {
                if (statement->line != number) {
                    std::fprintf(stderr, "statement of line %d numbered %d\n", number,
                                 statement->line);
                    std::abort();
                }
                ++lines;
            }
        } catch (const ScriptError&) {
            linesParsed = false;
        }
        start = end + 1;
    }
    if (parsed != linesParsed || (parsed && statements != lines)) {
        std::fprintf(stderr, "the script and its lines parse differently\n");
        std::abort();
    }
    return 0;
}
