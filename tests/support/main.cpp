// Test entry: the autopilot answers every box the editor raises on this thread.
#include "tests/support/harness.h"

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    InstallAutopilot();
    return RUN_ALL_TESTS();
}
