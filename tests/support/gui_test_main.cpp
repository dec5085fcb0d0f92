// The main of GUI test binaries: one QApplication, offscreen unless told otherwise, created
// only when tests run (test discovery runs the binary without any environment).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    bool bListing = false;
    for (int i = 1; i < argc; ++i) {
        bListing = bListing || std::strncmp(argv[i], "--gtest_list_tests", 18) == 0;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        // Qt wants a private runtime folder.
        char dir[] = "/tmp/polar-runtime-XXXXXX";
        if (::mkdtemp(dir) != nullptr) {
            ::setenv("XDG_RUNTIME_DIR", dir, 0);
        }
    }
    std::unique_ptr<QApplication> pApp;
    if (!bListing) {
        pApp = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName("polar-tests");
    }
    return RUN_ALL_TESTS();
}
