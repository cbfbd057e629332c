/* An X client that does nothing but answer the window manager's ping (_NET_WM_PING) at once: pinged
 * beside the application (xping), it shows what the display and the machine alone make a ping wait, so
 * a desktop test on a busy machine can tell the application's stalls from the machine's.
 * Usage: xpong; prints its window's id, then answers until SIGTERM. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <stdio.h>
#include <string.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "xpong: no display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    const Window window = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    XSetWMProtocols(display, window, &ping, 1);
    XSync(display, False);
    printf("0x%lx\n", (unsigned long)window);
    fflush(stdout);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != ClientMessage || event.xclient.message_type != protocols ||
            (Atom)event.xclient.data.l[0] != ping)
            continue;
        /* The answer goes back to the root window, as an application's does. */
        event.xclient.window = root;
        XSendEvent(display, root, False, SubstructureNotifyMask | SubstructureRedirectMask, &event);
        XFlush(display);
    }
}
