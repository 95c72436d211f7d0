// Drops files on a window as a desktop file manager does, over the X drag-and-drop protocol:
//   xdnd_drop WINDOW X Y URI...
// It announces text/uri-list, moves over (X, Y) on the root window, drops, hands over the URIs
// when the target asks for them, and waits for the target to say it has finished.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>

static Display* dpy;
static Window source, target;
static Atom xdndEnter, xdndPosition, xdndStatus, xdndDrop, xdndFinished, xdndSelection, xdndCopy, uriList;

static void fail(const char* what) {
  fprintf(stderr, "xdnd_drop: %s\n", what);
  exit(2);
}

static void send(Atom type, long l1, long l2, long l3, long l4) {
  XEvent e;
  memset(&e, 0, sizeof e);
  e.xclient.type = ClientMessage;
  e.xclient.window = target;
  e.xclient.message_type = type;
  e.xclient.format = 32;
  e.xclient.data.l[0] = (long)source;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  e.xclient.data.l[4] = l4;
  XSendEvent(dpy, target, False, NoEventMask, &e);
  XFlush(dpy);
}

// Next event for the source window, or exits after `seconds` without one.
static void next_event(XEvent* e, int seconds) {
  while (!XPending(dpy)) {
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(ConnectionNumber(dpy), &fds);
    struct timeval limit = {seconds, 0};
    if (select(ConnectionNumber(dpy) + 1, &fds, NULL, NULL, &limit) <= 0) fail("the window stopped answering");
  }
  XNextEvent(dpy, e);
}

int main(int argc, char** argv) {
  if (argc < 5) fail("usage: WINDOW X Y URI...");
  dpy = XOpenDisplay(NULL);
  if (!dpy) fail("cannot open the display");
  target = (Window)strtoul(argv[1], NULL, 0);
  const long x = atol(argv[2]), y = atol(argv[3]);
  xdndEnter = XInternAtom(dpy, "XdndEnter", False);
  xdndPosition = XInternAtom(dpy, "XdndPosition", False);
  xdndStatus = XInternAtom(dpy, "XdndStatus", False);
  xdndDrop = XInternAtom(dpy, "XdndDrop", False);
  xdndFinished = XInternAtom(dpy, "XdndFinished", False);
  xdndSelection = XInternAtom(dpy, "XdndSelection", False);
  xdndCopy = XInternAtom(dpy, "XdndActionCopy", False);
  uriList = XInternAtom(dpy, "text/uri-list", False);

  size_t size = 1;
  for (int i = 4; i < argc; ++i) size += strlen(argv[i]) + 2;
  char* list = calloc(size, 1);
  for (int i = 4; i < argc; ++i) {
    strcat(list, argv[i]);
    strcat(list, "\r\n");
  }

  source = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(dpy, xdndSelection, source, CurrentTime);
  send(xdndEnter, 5L << 24, (long)uriList, None, None);
  send(xdndPosition, 0, (x << 16) | y, CurrentTime, (long)xdndCopy);
  for (;;) {
    XEvent e;
    next_event(&e, 20);
    if (e.type == ClientMessage && e.xclient.message_type == xdndStatus) {
      if (!(e.xclient.data.l[1] & 1)) fail("the window refused the drop");
      send(xdndDrop, 0, CurrentTime, 0, 0);
    } else if (e.type == SelectionRequest) {
      XSelectionRequestEvent* r = &e.xselectionrequest;
      XEvent reply;
      memset(&reply, 0, sizeof reply);
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = r->requestor;
      reply.xselection.selection = r->selection;
      reply.xselection.target = r->target;
      reply.xselection.time = r->time;
      reply.xselection.property = None;
      if (r->target == uriList) {
        XChangeProperty(dpy, r->requestor, r->property, uriList, 8, PropModeReplace, (unsigned char*)list,
                        (int)strlen(list));
        reply.xselection.property = r->property;
      }
      XSendEvent(dpy, r->requestor, False, NoEventMask, &reply);
      XFlush(dpy);
    } else if (e.type == ClientMessage && e.xclient.message_type == xdndFinished) {
      free(list);
      XCloseDisplay(dpy);
      return 0;
    }
  }
}
