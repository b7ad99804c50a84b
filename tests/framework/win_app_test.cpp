#include "framework/win_app.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class RecordingApp : public CWinApp {
public:
    BOOL InitInstance() override {
        ++initCalls;
        seenCmdLine = m_lpCmdLine;
        return FALSE;
    }
    int ExitInstance() override {
        exitAfterInit = initCalls == 1;
        return 7;
    }
    int initCalls = 0;
    bool exitAfterInit = false;
    std::string seenCmdLine;
};

TEST(WinApp, TheFirstApplicationObjectIsTheOne) {
    RecordingApp first;
    RecordingApp second;
    EXPECT_EQ(AfxGetApp(), &first);
}

TEST(WinApp, EntryRunsInitInstanceWithTheCommandLineThenTheExitProcessing) {
    RecordingApp app;
    char cmdLine[] = "/silent1 LOGFILENAME=x";
    EXPECT_EQ(AfxWinMain(nullptr, cmdLine), 7);
    EXPECT_EQ(app.initCalls, 1);
    EXPECT_EQ(app.seenCmdLine, "/silent1 LOGFILENAME=x");
    EXPECT_TRUE(app.exitAfterInit);
}

TEST(WinApp, AMissingCommandLineIsEmpty) {
    RecordingApp app;
    EXPECT_EQ(AfxWinMain(nullptr, nullptr), 7);
    EXPECT_EQ(app.seenCmdLine, "");
}

TEST(WinApp, NoApplicationObjectEndsAtOnce) {
    ASSERT_EQ(AfxGetApp(), nullptr);
    EXPECT_EQ(AfxWinMain(nullptr, nullptr), -1);
}

} // namespace
