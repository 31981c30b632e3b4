// Finds a viewable top-level window by name on the X display, reports the
// colours at the points and the ink in the bands asked for, and asks the
// window to close:
//   x11_window_probe NAME [--keep] [--settle MS] [--ppm FILE]
//                    [X,Y ...] [--band X,Y,W,H ...]
// --keep leaves the window open; --settle is how long the first paints
// are given to land once the window shows (2000 ms unless told).
// A negative X or Y counts from the right or bottom edge. Prints
// "X,Y RRGGBB" per point and "band X,Y,W,H ink N green M" per band: N
// pixels stand out from the band's most common colour (its background),
// M of them are green; exits 1 when no such window shows within 20 s.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

Window FindByName(Display* display, Window root, const char* name)
{
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) && title) {
            XWindowAttributes attributes;
            if (std::strcmp(title, name) == 0 && XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable)
                found = children[i];
            XFree(title);
        }
        if (!found)
            found = FindByName(display, children[i], name);
    }
    if (children)
        XFree(children);
    return found;
}

unsigned long Rgb(XImage* image, int x, int y)
{
    const unsigned long pixel = XGetPixel(image, x, y);
    const auto channel = [pixel](unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return (pixel >> shift) & 0xFF;
    };
    return channel(image->red_mask) << 16 | channel(image->green_mask) << 8 | channel(image->blue_mask);
}

int Channel(unsigned long rgb, int shift)
{
    return int((rgb >> shift) & 0xFF);
}

struct Ink {
    int ink = 0;
    int green = 0;
};

// Text on a plain background, counted so that neither the font nor its
// smoothing matters: pixels far from the band's most common colour are
// ink, and ink whose green clearly exceeds its red and blue is green.
Ink MeasureBand(XImage* image, int width, int height, int x0, int y0, int w, int h)
{
    const int x1 = std::min(width, x0 + w);
    const int y1 = std::min(height, y0 + h);
    x0 = std::max(0, x0);
    y0 = std::max(0, y0);
    std::map<unsigned long, int> counts;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            ++counts[Rgb(image, x, y)];
    if (counts.empty())
        return {};
    const unsigned long background = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                                         return a.second < b.second;
                                     })->first;
    constexpr int kFar = 80;
    constexpr int kGreener = 60;
    Ink result;
    for (const auto& [colour, count] : counts) {
        int distance = 0;
        for (int shift : {0, 8, 16})
            distance = std::max(distance, std::abs(Channel(colour, shift) - Channel(background, shift)));
        if (distance <= kFar)
            continue;
        result.ink += count;
        const int r = Channel(colour, 16);
        const int g = Channel(colour, 8);
        const int b = Channel(colour, 0);
        if (g - std::max(r, b) > kGreener)
            result.green += count;
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s NAME [--keep] [--settle MS] [--ppm FILE] [X,Y ...] [--band X,Y,W,H ...]\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    Window window = 0;
    for (int tries = 0; tries < 200 && !window; ++tries) {
        window = FindByName(display, DefaultRootWindow(display), argv[1]);
        if (!window)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!window) {
        std::fprintf(stderr, "no viewable window named %s\n", argv[1]);
        return 1;
    }
    int settle = 2000;
    for (int i = 2; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--settle")
            settle = std::atoi(argv[i + 1]);
    // Let the first paints land.
    std::this_thread::sleep_for(std::chrono::milliseconds(settle));
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "cannot read the window's pixels\n");
        return 1;
    }
    std::printf("size %d,%d\n", attributes.width, attributes.height);
    bool keep = false;
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--keep") {
            keep = true;
            continue;
        }
        if (std::string(argv[i]) == "--settle") {
            ++i;
            continue;
        }
        if (std::string(argv[i]) == "--band" && i + 1 < argc) {
            int x = 0, y = 0, w = 0, h = 0;
            if (std::sscanf(argv[++i], "%d,%d,%d,%d", &x, &y, &w, &h) != 4)
                continue;
            const Ink ink = MeasureBand(image, attributes.width, attributes.height, x, y, w, h);
            std::printf("band %d,%d,%d,%d ink %d green %d\n", x, y, w, h, ink.ink, ink.green);
            continue;
        }
        if (std::string(argv[i]) == "--ppm" && i + 1 < argc) {
            FILE* out = std::fopen(argv[++i], "wb");
            if (!out)
                continue;
            std::fprintf(out, "P6 %d %d 255\n", attributes.width, attributes.height);
            for (int y = 0; y < attributes.height; ++y)
                for (int x = 0; x < attributes.width; ++x) {
                    const unsigned long c = Rgb(image, x, y);
                    const unsigned char rgb[3] = {(unsigned char)(c >> 16), (unsigned char)(c >> 8), (unsigned char)c};
                    std::fwrite(rgb, 1, 3, out);
                }
            std::fclose(out);
            continue;
        }
        int x = 0;
        int y = 0;
        if (std::sscanf(argv[i], "%d,%d", &x, &y) != 2)
            continue;
        const int px = x < 0 ? attributes.width + x : x;
        const int py = y < 0 ? attributes.height + y : y;
        std::printf("%d,%d %06lX\n", x, y, Rgb(image, px, py));
    }
    XDestroyImage(image);
    std::fflush(stdout);
    if (keep) {
        XCloseDisplay(display);
        return 0;
    }

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    std::fflush(stdout);
    return 0;
}
