// Starts a program on the X display and reports, from the X server's own map events, how long it
// took until its first window was mapped and how much memory it held then. With --login it goes
// on: runs a command that fills in the window (xdotool typing), presses Return itself through
// the XTest extension and times until a window of the program whose title begins with the given
// text is mapped.
//
//   mapwatch [--login TITLE --fill COMMAND] [--timeout SECONDS] -- PROGRAM [ARGUMENTS...]
//
// prints one line: "map_ms=12.34 rss_kb=45678 cpu_ms=9.87" (cpu_ms: processor time the program
// had used by then) and, with --login, " login_ms=5.67".
//
// A window is the program's when its _NET_WM_PID is the program's process id. Under a
// reparenting window manager a client window is mapped inside the manager's frame, so the
// root window's SubstructureNotify does not see it: every new top-level window is therefore
// watched itself (StructureNotify) from its CreateNotify on, and a window that was mapped
// before that selection took effect is caught by asking for its map state.

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <set>
#include <string>

namespace {

double now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

[[noreturn]] void fail(const std::string &message)
{
    std::fprintf(stderr, "mapwatch: %s\n", message.c_str());
    std::exit(2);
}

// A window destroyed between its event and our request is not an error here.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// The time all the program's threads have run on a processor so far.
double processorMilliseconds(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double total = 0;
    if (DIR *directory = opendir(tasks.c_str())) {
        while (const dirent *entry = readdir(directory)) {
            if (entry->d_name[0] == '.')
                continue;
            std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
            double nanoseconds = 0;
            if (schedstat >> nanoseconds)
                total += nanoseconds / 1e6;
        }
        closedir(directory);
    }
    return total;
}

class Watcher
{
public:
    Watcher(Display *display, pid_t pid) : m_display(display), m_pid(pid)
    {
        m_pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        m_nameAtom = XInternAtom(display, "_NET_WM_NAME", False);
        m_utf8Atom = XInternAtom(display, "UTF8_STRING", False);
    }

    // Waits until a window of the program is mapped whose title begins with titlePrefix (any
    // title when it is empty); returns the time the map was seen and the window.
    std::optional<std::pair<double, Window>> waitForMap(const std::string &titlePrefix,
                                                        double deadline)
    {
        for (;;) {
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                const double seen = now();
                Window mapped = None;
                if (event.type == CreateNotify)
                    mapped = watch(event.xcreatewindow.window);
                else if (event.type == MapNotify)
                    mapped = event.xmap.window;
                if (mapped != None && isWanted(mapped, titlePrefix))
                    return std::make_pair(seen, mapped);
            }
            const double left = deadline - now();
            if (left <= 0)
                return std::nullopt;
            pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
            if (poll(&fd, 1, int(left) + 1) < 0 && errno != EINTR)
                fail("poll failed");
        }
    }

private:
    // Selects the window's own structure events; returns it when it is mapped already.
    Window watch(Window window)
    {
        XSelectInput(m_display, window, StructureNotifyMask);
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(m_display, window, &attributes))
            return None;
        return attributes.map_state == IsUnmapped ? None : window;
    }

    bool isWanted(Window window, const std::string &titlePrefix)
    {
        if (m_seen.count(window) != 0)
            return false;
        if (windowPid(window) != m_pid)
            return false;
        if (!titlePrefix.empty() && title(window).rfind(titlePrefix, 0) != 0)
            return false;
        m_seen.insert(window);
        return true;
    }

    long windowPid(Window window)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        long pid = -1;
        if (XGetWindowProperty(m_display, window, m_pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &format, &count, &after, &data) == Success &&
            data && format == 32 && count == 1)
            pid = *reinterpret_cast<long *>(data);
        if (data)
            XFree(data);
        return pid;
    }

    std::string title(Window window)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        std::string text;
        if (XGetWindowProperty(m_display, window, m_nameAtom, 0, 1024, False, m_utf8Atom, &type,
                               &format, &count, &after, &data) == Success &&
            data && format == 8)
            text.assign(reinterpret_cast<char *>(data), count);
        if (data)
            XFree(data);
        return text;
    }

    Display *m_display;
    pid_t m_pid;
    Atom m_pidAtom;
    Atom m_nameAtom;
    Atom m_utf8Atom;
    std::set<Window> m_seen; // a window counts once, at its first map
};

void pressReturn(Display *display)
{
    const KeyCode key = XKeysymToKeycode(display, XK_Return);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    XFlush(display);
}

void endProgram(pid_t pid)
{
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

} // namespace

int main(int argc, char *argv[])
{
    std::string loginTitle;
    std::string fillCommand;
    double timeoutMs = 20000;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string argument = argv[first];
        if (argument == "--" && first + 1 < argc) {
            ++first;
            break;
        }
        if (first + 1 >= argc)
            fail("usage: mapwatch [--login TITLE --fill COMMAND] [--timeout S] -- PROGRAM...");
        if (argument == "--login")
            loginTitle = argv[++first];
        else if (argument == "--fill")
            fillCommand = argv[++first];
        else if (argument == "--timeout")
            timeoutMs = std::atof(argv[++first]) * 1e3;
        else
            fail("unknown option " + argument);
    }
    if (first >= argc)
        fail("no program given");

    Display *display = XOpenDisplay(nullptr);
    if (!display)
        fail("cannot open the display");
    XSetErrorHandler(ignoreErrors);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!loginTitle.empty() &&
        !XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor))
        fail("the X server has no XTest extension");
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double started = now();
    const pid_t pid = fork();
    if (pid < 0)
        fail("fork failed");
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(argv[first], argv + first);
        std::perror("mapwatch: exec");
        _exit(127);
    }

    Watcher watcher(display, pid);
    const auto firstMap = watcher.waitForMap(std::string(), started + timeoutMs);
    if (!firstMap) {
        endProgram(pid);
        fail("no window was mapped in time");
    }
    const long rss = residentKilobytes(pid);
    const double processor = processorMilliseconds(pid);
    std::printf("map_ms=%.2f rss_kb=%ld cpu_ms=%.2f", firstMap->first - started, rss, processor);

    if (!loginTitle.empty()) {
        const std::string window = std::to_string(firstMap->second);
        setenv("MAPWATCH_WINDOW", window.c_str(), 1);
        if (!fillCommand.empty() && std::system(fillCommand.c_str()) != 0) {
            endProgram(pid);
            fail("the fill command failed");
        }
        const double pressed = now();
        pressReturn(display);
        const auto opened = watcher.waitForMap(loginTitle, pressed + timeoutMs);
        if (!opened) {
            endProgram(pid);
            fail("no window titled \"" + loginTitle + "...\" was mapped in time");
        }
        std::printf(" login_ms=%.2f", opened->first - pressed);
    }
    std::printf("\n");
    std::fflush(stdout);
    endProgram(pid);
    XCloseDisplay(display);
    return 0;
}
