/* The least a desktop's notification area does, for the idle benchmark and for looking at the
 * desktop program on a bare X server (Xvfb): it owns the system tray selection of the default
 * screen, announces itself, and docks every icon that asks into a strip of 24-pixel cells at
 * the top left of the screen. It prints the window id of each icon it docks, one per line.
 *   tray_host        (DISPLAY names the X server) */
#include <X11/Xlib.h>
#include <stdio.h>
#include <string.h>

enum { kCell = 24, kRequestDock = 0, kEmbeddedNotify = 0 };

static void TellEmbedded(Display* d, Window icon, Window host, Atom xembed) {
  XEvent e;
  memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.window = icon;
  e.xclient.message_type = xembed;
  e.xclient.format = 32;
  e.xclient.data.l[0] = CurrentTime;
  e.xclient.data.l[1] = kEmbeddedNotify;
  e.xclient.data.l[3] = (long)host;
  e.xclient.data.l[4] = 0; /* protocol version */
  XSendEvent(d, icon, False, NoEventMask, &e);
}

int main(void) {
  Display* d = XOpenDisplay(NULL);
  if (!d) return 2;
  int screen = DefaultScreen(d);
  Window root = RootWindow(d, screen);
  Window strip = XCreateSimpleWindow(d, root, 0, 0, 8 * kCell, kCell, 0, 0, WhitePixel(d, screen));
  XMapWindow(d, strip);
  char name[32];
  snprintf(name, sizeof name, "_NET_SYSTEM_TRAY_S%d", screen);
  Atom selection = XInternAtom(d, name, False);
  Atom opcode = XInternAtom(d, "_NET_SYSTEM_TRAY_OPCODE", False);
  Atom xembed = XInternAtom(d, "_XEMBED", False);
  XSetSelectionOwner(d, selection, strip, CurrentTime);
  if (XGetSelectionOwner(d, selection) != strip) return 1;

  XEvent e;
  memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.window = root;
  e.xclient.message_type = XInternAtom(d, "MANAGER", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = CurrentTime;
  e.xclient.data.l[1] = (long)selection;
  e.xclient.data.l[2] = (long)strip;
  XSendEvent(d, root, False, StructureNotifyMask, &e);
  XFlush(d);

  int docked = 0;
  for (;;) {
    XNextEvent(d, &e);
    if (e.type != ClientMessage || e.xclient.message_type != opcode ||
        e.xclient.data.l[1] != kRequestDock)
      continue;
    Window icon = (Window)e.xclient.data.l[2];
    XReparentWindow(d, icon, strip, docked * kCell, 0);
    XResizeWindow(d, icon, kCell, kCell);
    XMapRaised(d, icon);
    TellEmbedded(d, icon, strip, xembed);
    XFlush(d);
    printf("%lu\n", (unsigned long)icon);
    fflush(stdout);
    ++docked;
  }
}
