// quelora_launchwatch [--timeout SECONDS] [--hold MS] -- COMMAND [ARGS...]
//
// Starts COMMAND on the X display of $DISPLAY and times, from just before the start:
//   mapped_ms   until its first top-level window is mapped (shown),
//   painted_ms  until the middle of that window on screen differs from what was there
//               before (its first paint reached the screen).
// Then it asks the window to close as a window manager would (WM_DELETE_WINDOW), so
// the program ends normally and a wrapper such as /usr/bin/time -v can report.
// Meant for a bare X server (Xvfb, no window manager). Prints one line:
//   mapped_ms=12.34 painted_ms=56.78 status=0
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

constexpr int kBlock = 32; // side of the square sampled in the middle of the window

XImage* grab(Display* d, Window root, int x, int y) {
    return XGetImage(d, root, x, y, kBlock, kBlock, AllPlanes, ZPixmap);
}

bool differs(XImage* a, XImage* b) {
    for (int y = 0; y < kBlock; ++y)
        for (int x = 0; x < kBlock; ++x)
            if (XGetPixel(a, x, y) != XGetPixel(b, x, y)) return true;
    return false;
}

int usage() {
    std::fprintf(stderr, "usage: quelora_launchwatch [--timeout SECONDS] [--hold MS] -- COMMAND [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    double timeoutMs = 30000, holdMs = 0;
    int i = 1;
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc)
            timeoutMs = std::atof(argv[++i]) * 1000;
        else if (std::strcmp(argv[i], "--hold") == 0 && i + 1 < argc)
            holdMs = std::atof(argv[++i]);
        else
            return usage();
    }
    if (i >= argc) return usage();

    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "quelora_launchwatch: cannot open display\n");
        return 1;
    }
    const Window root = DefaultRootWindow(d);
    const int screenW = DisplayWidth(d, DefaultScreen(d)), screenH = DisplayHeight(d, DefaultScreen(d));
    XSelectInput(d, root, SubstructureNotifyMask);
    // What the screen shows before the program starts, to tell its first paint apart.
    XImage* before = XGetImage(d, root, 0, 0, screenW, screenH, AllPlanes, ZPixmap);
    XSync(d, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
        setpgid(0, 0);
        execvp(argv[i], argv + i);
        std::perror("quelora_launchwatch: exec");
        _exit(127);
    }

    Window win = 0;
    double mapped = -1, painted = -1;
    int cx = 0, cy = 0;
    const int fd = ConnectionNumber(d);
    while (painted < 0 && nowMs() - start < timeoutMs) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && !win && e.xmap.event == root && !e.xmap.override_redirect) {
                mapped = nowMs() - start;
                win = e.xmap.window;
                XWindowAttributes a;
                XGetWindowAttributes(d, win, &a);
                cx = a.x + a.width / 2 - kBlock / 2;
                cy = a.y + a.height / 2 - kBlock / 2;
                if (cx < 0) cx = 0;
                if (cy < 0) cy = 0;
                if (cx > screenW - kBlock) cx = screenW - kBlock;
                if (cy > screenH - kBlock) cy = screenH - kBlock;
            }
        }
        if (win) {
            XImage* now = grab(d, root, cx, cy);
            XImage* was = XSubImage(before, cx, cy, kBlock, kBlock);
            const bool changed = now && was && differs(now, was);
            if (now) XDestroyImage(now);
            if (was) XDestroyImage(was);
            if (changed) {
                painted = nowMs() - start;
                break;
            }
            usleep(250);
            continue;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) break; // ended without a window
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval tv{0, 1000};
        select(fd + 1, &fds, nullptr, nullptr, &tv);
    }

    if (holdMs > 0) usleep(static_cast<useconds_t>(holdMs * 1000));
    if (win) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = win;
        ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, win, False, NoEventMask, &ev);
        XFlush(d);
    }
    int status = -1;
    const double waitStart = nowMs();
    for (;;) {
        int st = 0;
        const pid_t r = waitpid(child, &st, WNOHANG);
        if (r == child) {
            status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            break;
        }
        if (r < 0 && errno != EINTR) break;
        if (nowMs() - waitStart > 10000) {
            kill(-child, SIGKILL); // the whole group: a wrapper and the program under it
            waitpid(child, &st, 0);
            status = 137;
            break;
        }
        usleep(2000);
    }
    std::printf("mapped_ms=%.2f painted_ms=%.2f status=%d\n", mapped, painted, status);
    XDestroyImage(before);
    XCloseDisplay(d);
    return (mapped >= 0 && painted >= 0 && status == 0) ? 0 : 1;
}
