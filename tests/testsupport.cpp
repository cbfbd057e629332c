#include "testsupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace {

// Short enough that a waiting test sees the other thread's signal soon, long enough not to spin.
constexpr int PumpSliceMs = 5;

} // namespace

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return MissingFileBytes;
    return file.readAll();
}

::testing::AssertionResult WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return ::testing::AssertionFailure()
               << "cannot write " << path.toStdString() << ": " << file.errorString().toStdString();
    return ::testing::AssertionSuccess();
}

TemporaryCurrentFolder::TemporaryCurrentFolder() : previous_(QDir::currentPath()) {
    entered_ = dir_.isValid() && QDir::setCurrent(dir_.path());
    if (!entered_) ADD_FAILURE() << "no temporary folder to work in: " << dir_.errorString().toStdString();
}

TemporaryCurrentFolder::~TemporaryCurrentFolder() {
    if (entered_) QDir::setCurrent(previous_);
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, PumpSliceMs);
    }
    return true;
}

void PumpFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, PumpSliceMs);
}

std::string TestName(QStringView caption) {
    std::string name;
    bool gap = false;
    for (const QChar c : caption) {
        const char16_t u = c.unicode();
        const bool kept = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
        if (!kept) {
            gap = !name.empty();
            continue;
        }
        if (gap) name += '_';
        gap = false;
        name += static_cast<char>(u);
    }
    return name.empty() ? std::string("Unnamed") : name;
}
