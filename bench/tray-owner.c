/* A bare system-tray owner for measuring on a private X server: it takes the tray selection of
 * screen 0 and announces itself, so programs there see a tray; the icons that ask to dock are
 * not shown. Runs until killed.
 *   cc bench/tray-owner.c -lX11 -o tray-owner && ./tray-owner */
#include <X11/Xlib.h>
#include <stdio.h>
#include <string.h>

int main(void)
{
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "tray-owner: no display\n");
        return 1;
    }
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    const Window w = XCreateSimpleWindow(d, root, 0, 0, 1, 1, 0, 0, 0);
    const Atom selection = XInternAtom(d, "_NET_SYSTEM_TRAY_S0", False);
    XSetSelectionOwner(d, selection, w, CurrentTime);
    if (XGetSelectionOwner(d, selection) != w) {
        fprintf(stderr, "tray-owner: another tray holds the selection\n");
        return 1;
    }
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = root;
    e.xclient.message_type = XInternAtom(d, "MANAGER", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = CurrentTime;
    e.xclient.data.l[1] = (long)selection;
    e.xclient.data.l[2] = (long)w;
    XSendEvent(d, root, False, StructureNotifyMask, &e);
    XFlush(d);
    for (;;)
        XNextEvent(d, &e);
}
