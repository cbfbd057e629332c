// The windows' state's one instance, Win.
#include "ui/windowsstate.h"

constinit WindowsState Win;
