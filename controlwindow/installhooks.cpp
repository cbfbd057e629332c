// Installs every window's hooks into the engine: the one place that knows all the windows a program
// reaches, above the windows and the control-window properties alike.
#include "controlwindow/installhooks.h"

#include "controlwindow/properties.h"
#include "ui/graphform.h"
#include "ui/inputform.h"
#include "ui/windowsettings.h"

void InstallWindowHooks() {
    InstallInputDialog();
    InstallGraphForm();
    InstallControlWindow();
    InstallWindowSettings();
}
