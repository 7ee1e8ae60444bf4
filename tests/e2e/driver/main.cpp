#include "driver.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};  // for the twin
    return e2e::Env("E2E_TMP").empty() || !InitCommonControlsEx(&classes) ? 2 : RUN_ALL_TESTS();
}
