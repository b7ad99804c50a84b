// The launcher's command line: whatever a person, a script or a deployment tool passes.
#include "app/command_line.h"
#include "text/mbstring.h"

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view cmdLine(reinterpret_cast<const char*>(data), size);
    const tagCommandLineOptions options = ParseCommandLine(cmdLine);
    FUZZ_CHECK(options.nSilentMode >= 0 && options.nSilentMode <= 2);
    // The log name belongs to silent mode; in normal mode the line goes to msiexec untouched.
    FUZZ_CHECK(options.nSilentMode != 0 || options.strLogFileName.empty());
    FUZZ_CHECK(options.nSilentMode != 0 || !options.strRejectedLogFileName);
    FUZZ_CHECK(options.strLogFileName.empty() || !options.strRejectedLogFileName);
    FUZZ_CHECK(options.strLogFileName.size() <= cmdLine.size());
    // The name goes to msiexec inside quotes: one left in it would end them.
    FUZZ_CHECK(text::FindChar(options.strLogFileName, '"') == text::npos);
    return 0;
}
