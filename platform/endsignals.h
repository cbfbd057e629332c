// SIGTERM and SIGHUP, which a logout or a service manager sends, end the application the way its own
// quit does (the run stopped, what it wrote in its files, the windows closed) instead of killing it
// with its files' buffered text.
#pragma once

#include <functional>

class QObject;

// From now on SIGTERM and SIGHUP call `end` once, on `owner`'s thread from its event loop, in place of
// ending the process. False (the signals keep their default) when the pipe to that thread cannot be made.
bool CallOnEndSignals(QObject* owner, std::function<void()> end);
