#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, Table) {
    struct Row {
        const char* cmdLine;
        int silent;
        const char* logFile;
        const char* rejected = nullptr; // the value as given, when it is not used
    };
    const Row rows[] = {
        {"", 0, ""},
        {"/silent1", 1, ""},
        {"/silent1 LOGFILENAME=\"C:\\Logs\\a b.log\"", 1, "C:\\Logs\\a b.log"},
        {"/silent1 LOGFILENAME=C:\\Logs\\x.log", 1, "C:\\Logs\\x.log"},
        // Blanks after a quoted value would otherwise leave the closing quote in the path.
        {"/silent1 LOGFILENAME=\"C:\\Logs\\a b.log\"  ", 1, "C:\\Logs\\a b.log"},
        {"/silent1 LOGFILENAME=C:\\x.log ", 1, "C:\\x.log"},
        // A value that is empty or keeps a quote is not used (the fallback path then applies).
        {"/silent1 LOGFILENAME=C:\\a\"b.log", 1, "", "C:\\a\"b.log"},
        {"/silent1 LOGFILENAME=\"C:\\Logs\\a.log\" /qb", 1, "", "\"C:\\Logs\\a.log\" /qb"},
        {"/silent1 LOGFILENAME=C:\\Logs\\x.log\"", 1, "", "C:\\Logs\\x.log\""},
        {"/silent1 LOGFILENAME=\"", 1, "", "\""},
        {"/silent1 LOGFILENAME=\"\"", 1, "", "\"\""},
        {"/silent1 LOGFILENAME=", 1, "", ""},
        {"/silent1 LOGFILENAME=   ", 1, "", "   "},
        // Characters no file name may hold, a colon not after a drive letter, a folder.
        {"/silent1 LOGFILENAME=C:\\Logs\\a|b.log", 1, "", "C:\\Logs\\a|b.log"},
        {"/silent1 LOGFILENAME=C:\\Logs\\a<b>.log", 1, "", "C:\\Logs\\a<b>.log"},
        {"/silent1 LOGFILENAME=C:\\Logs\\*.log", 1, "", "C:\\Logs\\*.log"},
        {"/silent1 LOGFILENAME=C:\\Logs\\a?.log", 1, "", "C:\\Logs\\a?.log"},
        {"/silent1 LOGFILENAME=C:\\Logs\\a\tb.log", 1, "", "C:\\Logs\\a\tb.log"},
        {"/silent1 LOGFILENAME=C:\\Logs\\a:b.log", 1, "", "C:\\Logs\\a:b.log"},
        {"/silent1 LOGFILENAME=1:\\a.log", 1, "", "1:\\a.log"},
        {"/silent1 LOGFILENAME=C:\\Logs\\", 1, "", "C:\\Logs\\"},
        {"/silent1 LOGFILENAME=\"C:\\Logs/\"", 1, "", "\"C:\\Logs/\""},
        {"/silent1 LOGFILENAME=\\\\server\\logs\\a.log", 1, "\\\\server\\logs\\a.log"},
        {"/silent1 LOGFILENAME=a.log", 1, "a.log"},
        // Second bytes are not characters: ポ (83 7C) and 表 (95 5C) stay valid.
        {"/silent1 LOGFILENAME=C:\\Logs\\\x83\x7C.log", 1, "C:\\Logs\\\x83\x7C.log"},
        // Eight characters are skipped, not eight bytes: no key starting on a second byte.
        {"1234567\x95LOGFILENAME=x.log /silent1", 1, ""},
        // A value ending in a double-byte character keeps it whole.
        {"/silent1 LOGFILENAME=C:\\Logs\\\x95\x5C", 1, "C:\\Logs\\\x95\x5C"},
        {"LOGFILENAME=C:\\x.log", 0, ""},
        {"/SILENT1 LOGFILENAME=C:\\x.log", 0, ""},
        {"/silent1 logfilename=C:\\x.log", 1, ""},
        // The first occurrence counts and the value runs to the end.
        {"/silent1 LOGFILENAME=a LOGFILENAME=b", 1, "a LOGFILENAME=b"},
        // The option need not lead; the key is looked for after the first eight characters.
        {"REBOOT=1 /silent1 LOGFILENAME=C:\\x.log", 1, "C:\\x.log"},
        {"LOGFILENAME=C:\\x.log /silent1", 1, ""},
        // Unattended mode takes the log name the same way and wins over silent mode.
        {"/silent2 LOGFILENAME=\"C:\\Logs\\a b.log\"", 2, "C:\\Logs\\a b.log"},
        {"/silent1 /silent2", 2, ""},
        {"/SILENT2", 0, ""},
        // A Japanese folder whose second byte is "\" stays whole.
        {"/silent1 LOGFILENAME=\"C:\\\x95\x5C\\a.log\"", 1, "C:\\\x95\x5C\\a.log"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.cmdLine);
        const tagCommandLineOptions options = ParseCommandLine(row.cmdLine);
        EXPECT_EQ(options.nSilentMode, row.silent);
        EXPECT_EQ(options.strLogFileName, row.logFile);
        EXPECT_EQ(options.strRejectedLogFileName.has_value(), row.rejected != nullptr);
        EXPECT_EQ(options.strRejectedLogFileName.value_or(""),
                  row.rejected != nullptr ? row.rejected : "");
    }
}

} // namespace
