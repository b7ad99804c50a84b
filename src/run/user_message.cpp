#include "run/user_message.h"

#include "run/launch_context.h"
#include "log/trace_log.h"

namespace {
constexpr UINT kBoxStyle = MB_OK | MB_ICONWARNING;
} // namespace

void ShowWarningBox(const tagLaunchContext& context, const std::string& caption,
                    const std::string& text) {
    if (!context.IsUnattended()) {
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), kBoxStyle);
        return;
    }
    // One trace line per box: a line feed is never a second byte in code page 932.
    std::string line = "MessageBox：" + caption + "：";
    for (char ch : text) {
        line += ch == '\n' ? std::string("\\n") : std::string(1, ch);
    }
    TraceLine(line);
}
