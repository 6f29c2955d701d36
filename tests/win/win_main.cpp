// Test program entry: GoogleTest, or a child role that a test starts in a process of its own
// (for behaviour that ends the process).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "app/StartError.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--child=start-error") == 0) {
            SetStartErrorText();
            ShowStartErrorAndExit();
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
