// The tests run inside one QApplication, as the program does; the window
// layer uses it rather than creating its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (at build time) needs no display, and a death test's
    // child starts the window layer's own.
    std::unique_ptr<QApplication> application;
    if (!GTEST_FLAG_GET(list_tests) && GTEST_FLAG_GET(internal_run_death_test).empty()) {
        application = std::make_unique<QApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
