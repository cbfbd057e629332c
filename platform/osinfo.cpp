// The platform's name and the text limits it selects: on Linux no Windows version name applies.
#include "platform/osinfo.h"

const QString& OSName() {
    static const QString name; // Linux: none of the Windows version names applies
    return name;
}

bool HasLargeTextLimits() {
    const QString& name = OSName();
    return name == QLatin1String("Vista") || name == QLatin1String("7");
}
