// What the launcher tells the user: warning boxes, or, in unattended mode, where nobody may be
// at the screen to answer one, the same texts in the trace.
#pragma once

#include <string>

struct tagLaunchContext;

// The caption of the boxes shown before a patch's title is known.
inline constexpr char kProductCaption[] = "Ortolan Qerno6 E";
// The text of the box that says the installer could not be started.
inline constexpr char kLaunchFailureText[] = "インストーラの起動に失敗しました。";
// The text of the box that says the patch is not signed by the launcher's publisher.
inline constexpr char kPatchRejectedText[] =
    "パッチの発行元を確認できないため、セットアップを中止しました。";

// A warning box with an OK button and no owner window. Unattended, the trace line
// "MessageBox：<caption>：<text>" instead, each line feed of the text written as "\n".
void ShowWarningBox(const tagLaunchContext& context, const std::string& caption,
                    const std::string& text);
