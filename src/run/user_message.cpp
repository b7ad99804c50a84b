#include "run/user_message.h"

#include "run/launch_context.h"
#include "log/trace_log.h"

void ShowWarningBox(const tagLaunchContext& context, const std::string& caption,
                    const std::string& text) {
    if (!context.IsUnattended()) {
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    // One trace line per box: a line feed is never a second byte in code page 932.
    std::string line = "MessageBox：" + caption + "：";
    for (char ch : text) {
        line += ch == '\n' ? std::string("\\n") : std::string(1, ch);
    }
    TraceLine(line);
}
