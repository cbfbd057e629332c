#include "ui/windowhooks.h"

WindowHooks WinHooks;
