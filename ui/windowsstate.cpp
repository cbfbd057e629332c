#include "ui/windowsstate.h"

constinit WindowsState Win;
