// Loading the media player's engine from its module at the first file a player opens.
#include "ui/mediaengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

// Where the module lies from the folder of the program: the build tree and an installed tree have
// the same layout (bin/ or app/ and tests/ beside lib/lorvex/).
constexpr char ModulePath[] = "../lib/lorvex/liblxmedia.so";

MakeMediaEngineFunction LoadModule() {
    QLibrary module(QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(ModulePath)));
    auto make = reinterpret_cast<MakeMediaEngineFunction>(module.resolve(MakeMediaEngineName));
    if (make == nullptr) qWarning("the media player cannot start: %s", qUtf8Printable(module.errorString()));
    return make; // the module stays loaded: QLibrary unloads only when asked to
}

} // namespace

std::unique_ptr<MediaEngine> LoadMediaEngine(QObject* owner) {
    static const MakeMediaEngineFunction make = LoadModule();
    if (make == nullptr) return nullptr;
    return std::unique_ptr<MediaEngine>(make(owner));
}
