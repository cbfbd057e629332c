// Shared by the tests: files, serving the event loop while other threads work, and readable names.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QTemporaryDir>

#include <functional>
#include <ostream>
#include <string>

// QString values print as readable UTF-8 in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// How long a test waits for work on another thread before it counts the work as hung.
constexpr int TestWaitMs = 20000;

// What ReadBytes gives for a file it cannot read, so that a missing file never equals an empty one.
inline const QByteArray MissingFileBytes = QByteArrayLiteral("<missing>");

// The whole content of the file at `path`, or MissingFileBytes.
QByteArray ReadBytes(const QString& path);

// Writes `bytes` as the whole content of the file at `path`, making its folder. The caller asserts the
// result (ASSERT_TRUE), so that a test never runs on without the file it wrote.
[[nodiscard]] ::testing::AssertionResult WriteBytes(const QString& path, const QByteArray& bytes);

// A new empty folder that is the current one from construction until destruction, when the folder
// current before comes back. A folder that cannot be made or entered fails the test.
class TemporaryCurrentFolder {
public:
    TemporaryCurrentFolder();
    ~TemporaryCurrentFolder();
    TemporaryCurrentFolder(const TemporaryCurrentFolder&) = delete;
    TemporaryCurrentFolder& operator=(const TemporaryCurrentFolder&) = delete;

    QString Path() const { return dir_.path(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
    bool entered_ = false;
};

// Serves this thread's event loop until `done` holds; false when `ms` milliseconds pass first.
bool PumpUntil(const std::function<bool()>& done, int ms = TestWaitMs);

// Serves this thread's event loop for `ms` milliseconds.
void PumpFor(int ms);

// A parameterised test's name made from a caption: letters and digits stay, every other run of
// characters becomes one underscore (test names allow nothing else).
std::string TestName(QStringView caption);
