// Script and log lines, and the installer's command line: tokenizer, line parser, line reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "install/cmdline.h"
#include "install/linereader.h"
#include "install/scriptline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    for (bool backwards : {false, true}) {
        inst::LineReader reader(text, size, backwards);
        const char* line = nullptr;
        size_t length = 0;
        while (reader.Next(&line, &length)) {
            inst::ScriptLine parsed;
            if (inst::ParseScriptLine(line, length, &parsed)) {
                inst::ArgBool(parsed, "Owr", true);
                inst::ArgInt(parsed, "IconInd", 0);
            }
        }
        if (reader.Consumed() != size) __builtin_trap();
    }
    inst::SplitCommandLine(std::string(text, size));
    return 0;
}
