// A small X11 helper for the check of the editor in a real host: finds a window by its size in the
// whole window tree of $DISPLAY, takes a screenshot of it with XGetImage, and compares rectangles
// of two PNG pictures. Standing in for xdotool, xwd and ImageMagick, which CI does not have.
//
//   window-probe tree                         every mapped window: id, size, depth, name
//   window-probe find WIDTH HEIGHT            mapped windows of that size, with their ancestors
//   window-probe shot WINDOW OUT.png          the window's pixels as an RGB PNG
//   window-probe compare A.png B.png TOL X,Y,W,H...
//                                             the largest channel difference in each rectangle;
//                                             fails when one exceeds TOL
// Exits 0 on success, 1 when nothing was found or a rectangle differs, 2 on a usage error.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct WindowInfo {
    Window id = 0;
    int width = 0;
    int height = 0;
    bool mapped = false;
};

WindowInfo info(Display* display, Window window)
{
    WindowInfo result;
    result.id = window;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes)) {
        result.width = attributes.width;
        result.height = attributes.height;
        result.mapped = attributes.map_state == IsViewable;
    }
    return result;
}

std::string name(Display* display, Window window)
{
    char* text = nullptr;
    std::string result;
    if (XFetchName(display, window, &text) && text) {
        result = text;
        XFree(text);
    }
    return result;
}

std::vector<Window> children(Display* display, Window window)
{
    Window root = 0, parent = 0, *list = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &list, &count) && list) {
        result.assign(list, list + count);
        XFree(list);
    }
    return result;
}

Window parentOf(Display* display, Window window)
{
    Window root = 0, parent = 0, *list = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &list, &count) && list)
        XFree(list);
    return parent;
}

void describe(Display* display, Window window, const char* indent)
{
    const WindowInfo w = info(display, window);
    std::printf("%s0x%lx %dx%d \"%s\"\n", indent, w.id, w.width, w.height, name(display, window).c_str());
}

// Depth first, mapped windows only (an unmapped window's subtree is not on screen).
void walk(Display* display, Window window, int depth, void (*visit)(Display*, Window, int, void*), void* context)
{
    for (Window child : children(display, window)) {
        if (!info(display, child).mapped)
            continue;
        visit(display, child, depth, context);
        walk(display, child, depth + 1, visit, context);
    }
}

int tree(Display* display)
{
    walk(
        display, DefaultRootWindow(display), 0,
        [](Display* d, Window w, int depth, void*) {
            const std::string indent(static_cast<size_t>(depth) * 2, ' ');
            describe(d, w, indent.c_str());
        },
        nullptr);
    return 0;
}

int find(Display* display, int width, int height)
{
    struct Wanted {
        int width, height, found;
    } wanted{width, height, 0};
    walk(
        display, DefaultRootWindow(display), 0,
        [](Display* d, Window w, int, void* context) {
            auto* want = static_cast<Wanted*>(context);
            const WindowInfo window = info(d, w);
            if (window.width != want->width || window.height != want->height)
                return;
            ++want->found;
            describe(d, w, "");
            for (Window up = parentOf(d, w); up && up != DefaultRootWindow(d); up = parentOf(d, up))
                describe(d, up, "  in ");
        },
        &wanted);
    return wanted.found > 0 ? 0 : 1;
}

int shot(Display* display, Window window, const char* out)
{
    const WindowInfo w = info(display, window);
    if (!w.mapped) {
        std::fprintf(stderr, "window-probe: 0x%lx is not mapped\n", window);
        return 1;
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(w.width), static_cast<unsigned>(w.height),
                              AllPlanes, ZPixmap);
    if (!image) {
        std::fprintf(stderr, "window-probe: XGetImage failed for 0x%lx\n", window);
        return 1;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w.width, w.height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < w.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < w.width; ++x)
            row[x] = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    }
    XDestroyImage(image);
    cairo_surface_mark_dirty(surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface, out);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "window-probe: cannot write %s: %s\n", out, cairo_status_to_string(status));
        return 1;
    }
    return 0;
}

cairo_surface_t* loadPng(const char* path)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "window-probe: cannot read %s\n", path);
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

uint32_t pixel(cairo_surface_t* surface, int x, int y)
{
    const unsigned char* row =
        cairo_image_surface_get_data(surface) + static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const uint32_t*>(row)[x];
}

int largestDifference(uint32_t a, uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 24; shift += 8)
        largest = std::max(largest, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return largest;
}

int compare(const char* first, const char* second, int tolerance, int count, char** rects)
{
    cairo_surface_t* a = loadPng(first);
    cairo_surface_t* b = loadPng(second);
    int result = a && b ? 0 : 1;
    for (int i = 0; i < count && a && b && result != 2; ++i) {
        int x = 0, y = 0, w = 0, h = 0;
        if (std::sscanf(rects[i], "%d,%d,%d,%d", &x, &y, &w, &h) != 4 || x < 0 || y < 0 || w <= 0 || h <= 0) {
            std::fprintf(stderr, "window-probe: %s is not a rectangle X,Y,W,H\n", rects[i]);
            result = 2;
            break;
        }
        const int right = x + w, bottom = y + h;
        if (right > std::min(cairo_image_surface_get_width(a), cairo_image_surface_get_width(b)) ||
            bottom > std::min(cairo_image_surface_get_height(a), cairo_image_surface_get_height(b))) {
            std::printf("rectangle %s: outside a picture\n", rects[i]);
            result = 1;
            continue;
        }
        int worst = 0;
        for (int py = y; py < bottom; ++py)
            for (int px = x; px < right; ++px)
                worst = std::max(worst, largestDifference(pixel(a, px, py), pixel(b, px, py)));
        std::printf("rectangle %s: largest channel difference %d\n", rects[i], worst);
        if (worst > tolerance)
            result = 1;
    }
    if (a)
        cairo_surface_destroy(a);
    if (b)
        cairo_surface_destroy(b);
    return result;
}

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: window-probe tree | find W H | shot WINDOW OUT.png | compare A.png B.png TOL X,Y,W,H...\n");
    std::exit(2);
}

int withDisplay(int (*run)(Display*, int, char**), int argc, char** argv)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "window-probe: cannot open display %s\n", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(unset)");
        return 1;
    }
    // A window can vanish between listing and asking; that is an answer, not a fatal error.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const int status = run(display, argc, argv);
    XCloseDisplay(display);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "tree" && argc == 2)
        return withDisplay([](Display* d, int, char**) { return tree(d); }, argc, argv);
    if (command == "find" && argc == 4)
        return withDisplay([](Display* d, int, char** v) { return find(d, std::atoi(v[2]), std::atoi(v[3])); }, argc,
                           argv);
    if (command == "shot" && argc == 4)
        return withDisplay(
            [](Display* d, int, char** v) { return shot(d, static_cast<Window>(std::strtoul(v[2], nullptr, 0)), v[3]); },
            argc, argv);
    if (command == "compare" && argc >= 6)
        return compare(argv[2], argv[3], std::atoi(argv[4]), argc - 5, argv + 5);
    usage();
}
