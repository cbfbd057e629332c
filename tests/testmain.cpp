// Test main shared by every test program. The QApplication is created in the environment's SetUp, not
// in main: listing the tests (done at build and discovery time) then never needs a display. Each run
// gets the offscreen platform, a private runtime folder and private configuration and data folders,
// so no test reads or writes the user's settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        namespace fs = std::filesystem;
        char pattern[] = "/tmp/lorvex-test-XXXXXX";
        const char* root = mkdtemp(pattern);
        ASSERT_NE(root, nullptr);
        root_ = root;
        const fs::path runtime = root_ / "runtime";
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        fs::create_directories(root_ / "config");
        fs::create_directories(root_ / "data");
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("QT_MEDIA_BACKEND", "gstreamer", 0);
        static int argc = 1;
        static char name[] = "lorvex-tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }

    void TearDown() override {
        app_.reset();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

private:
    std::filesystem::path root_;
    std::unique_ptr<QApplication> app_;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);
    return RUN_ALL_TESTS();
}
