/* Measures from outside how long an X client's user-interface thread takes to answer: it sends the
 * window manager's ping (_NET_WM_PING) to one of the client's windows again and again, one at a time,
 * and writes for each the time it was sent and the time the answer came (CLOCK_REALTIME, ns). A client
 * that is busy answers late, so the longest answer time bounds how long a key or a click waits.
 * Usage: xping WINDOW-ID OUT-FILE [INTERVAL-MS]; runs until SIGTERM or SIGINT. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static volatile sig_atomic_t stopping = 0;

static void on_signal(int signal_number) {
    (void)signal_number;
    stopping = 1;
}

static long long now_ns(void) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static void sleep_ms(int ms) {
    struct timespec t = {ms / 1000, (long)(ms % 1000) * 1000000L};
    nanosleep(&t, NULL);
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: xping WINDOW-ID OUT-FILE [INTERVAL-MS]\n");
        return 2;
    }
    const Window target = (Window)strtoul(argv[1], NULL, 0);
    const int interval_ms = argc > 3 ? atoi(argv[3]) : 2;
    FILE* out = fopen(argv[2], "w");
    if (out == NULL) {
        perror(argv[2]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "xping: no display\n");
        return 2;
    }
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = on_signal;
    sigaction(SIGTERM, &action, NULL);
    sigaction(SIGINT, &action, NULL);

    const Window root = DefaultRootWindow(display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    /* The answer goes to the root window, for whoever listens to its structure. */
    XSelectInput(display, root, StructureNotifyMask);
    XSync(display, False);

    const int fd = ConnectionNumber(display);
    long sequence = 1;
    while (!stopping) {
        XEvent request;
        memset(&request, 0, sizeof request);
        request.xclient.type = ClientMessage;
        request.xclient.window = target;
        request.xclient.message_type = protocols;
        request.xclient.format = 32;
        request.xclient.data.l[0] = (long)ping;
        request.xclient.data.l[1] = sequence; /* the timestamp field tells the answers apart */
        request.xclient.data.l[2] = (long)target;
        const long long sent = now_ns();
        XSendEvent(display, target, False, NoEventMask, &request);
        XFlush(display);

        long long answered = 0;
        while (!stopping && answered == 0) {
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == ClientMessage && event.xclient.message_type == protocols &&
                    (Atom)event.xclient.data.l[0] == ping && event.xclient.data.l[1] == sequence) {
                    answered = now_ns();
                    break;
                }
            }
            if (answered != 0) break;
            struct pollfd wait = {fd, POLLIN, 0};
            poll(&wait, 1, 100);
            /* A window that has gone answers nothing: give up on the application after a minute. */
            if (now_ns() - sent > 60000000000LL) {
                fprintf(stderr, "xping: no answer for a minute\n");
                stopping = 1;
            }
        }
        if (answered != 0) {
            fprintf(out, "%lld %lld\n", sent, answered);
            fflush(out);
        }
        ++sequence;
        if (interval_ms > 0) sleep_ms(interval_ms);
    }
    fclose(out);
    XCloseDisplay(display);
    return 0;
}
