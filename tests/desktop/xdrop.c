/* Drops files on an X window the way a file manager does, by the XDND protocol (version 5): enter,
 * a position over the window's middle, the drop, and the file list ("text/uri-list") handed over when
 * the target asks for it. xdotool drags no files, so the desktop tests drop with this.
 * Usage: xdrop WINDOW-ID FILE...; prints when it dropped (CLOCK_REALTIME, ns) and exits 0 once the
 * target has finished the drop, 1 when it refused it or did not answer within the deadline. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { XdndVersion = 5, DeadlineMs = 20000 };

static Display* display;
static Window source;
static Window target;
static Atom xdnd_selection, xdnd_aware, xdnd_enter, xdnd_position, xdnd_status, xdnd_drop, xdnd_finished,
    xdnd_action_copy, uri_list;
static char uris[65536];

static long long now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

static void send_message(Atom type, long l1, long l2, long l3, long l4) {
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)source;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

/* Hands the file list to a target that asks for it. */
static void answer_selection_request(const XSelectionRequestEvent* request) {
    XEvent reply;
    memset(&reply, 0, sizeof reply);
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = request->requestor;
    reply.xselection.selection = request->selection;
    reply.xselection.target = request->target;
    reply.xselection.time = request->time;
    reply.xselection.property = None;
    if (request->target == uri_list && request->property != None) {
        XChangeProperty(display, request->requestor, request->property, uri_list, 8, PropModeReplace,
                        (const unsigned char*)uris, (int)strlen(uris));
        reply.xselection.property = request->property;
    }
    XSendEvent(display, request->requestor, False, NoEventMask, &reply);
    XFlush(display);
}

/* Waits for the client message `type` from the target, answering selection requests meanwhile. */
static int wait_for(Atom type, XClientMessageEvent* message) {
    const long long end = now_ms() + DeadlineMs;
    struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    while (now_ms() < end) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest) answer_selection_request(&event.xselectionrequest);
            if (event.type == ClientMessage && event.xclient.message_type == type) {
                *message = event.xclient;
                return 1;
            }
        }
        poll(&fd, 1, 50);
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: xdrop WINDOW-ID FILE...\n");
        return 2;
    }
    display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "xdrop: no display\n");
        return 1;
    }
    target = (Window)strtoul(argv[1], NULL, 0);
    for (int i = 2; i < argc; ++i) {
        char* absolute = realpath(argv[i], NULL);
        if (absolute == NULL) {
            fprintf(stderr, "xdrop: no file %s\n", argv[i]);
            return 1;
        }
        strncat(uris, "file://", sizeof uris - strlen(uris) - 1);
        strncat(uris, absolute, sizeof uris - strlen(uris) - 1);
        strncat(uris, "\r\n", sizeof uris - strlen(uris) - 1);
        free(absolute);
    }
    xdnd_selection = XInternAtom(display, "XdndSelection", False);
    xdnd_aware = XInternAtom(display, "XdndAware", False);
    xdnd_enter = XInternAtom(display, "XdndEnter", False);
    xdnd_position = XInternAtom(display, "XdndPosition", False);
    xdnd_status = XInternAtom(display, "XdndStatus", False);
    xdnd_drop = XInternAtom(display, "XdndDrop", False);
    xdnd_finished = XInternAtom(display, "XdndFinished", False);
    xdnd_action_copy = XInternAtom(display, "XdndActionCopy", False);
    uri_list = XInternAtom(display, "text/uri-list", False);

    source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const long version = XdndVersion;
    XChangeProperty(display, source, xdnd_aware, XA_ATOM, 32, PropModeReplace, (const unsigned char*)&version,
                    1);
    XSetSelectionOwner(display, xdnd_selection, source, CurrentTime);

    /* The middle of the target window, in root coordinates. */
    XWindowAttributes attributes;
    XGetWindowAttributes(display, target, &attributes);
    int x = 0;
    int y = 0;
    Window child;
    XTranslateCoordinates(display, target, DefaultRootWindow(display), attributes.width / 2,
                          attributes.height / 2, &x, &y, &child);

    XClientMessageEvent message;
    send_message(xdnd_enter, (long)XdndVersion << 24, (long)uri_list, None, None);
    send_message(xdnd_position, 0, ((long)x << 16) | (y & 0xFFFF), CurrentTime, (long)xdnd_action_copy);
    if (!wait_for(xdnd_status, &message)) {
        fprintf(stderr, "xdrop: no status from the target\n");
        return 1;
    }
    if ((message.data.l[1] & 1) == 0) {
        fprintf(stderr, "xdrop: the target refuses the drop\n");
        return 1;
    }
    send_message(xdnd_drop, 0, CurrentTime, None, None);
    /* When the drop happened, for the caller to time what follows from it. */
    struct timespec dropped;
    clock_gettime(CLOCK_REALTIME, &dropped);
    printf("%lld\n", (long long)dropped.tv_sec * 1000000000LL + dropped.tv_nsec);
    fflush(stdout);
    if (!wait_for(xdnd_finished, &message)) {
        fprintf(stderr, "xdrop: the target did not finish the drop\n");
        return 1;
    }
    XCloseDisplay(display);
    return 0;
}
