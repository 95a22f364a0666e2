#include "editor/graphics/x11/x11_surface_copy.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/socket.h>

#include <bit>
#include <cstdlib>
#include <cstring>

#include "editor/graphics/x11/x11_error_trap.h"

namespace {

// Shared memory only works when the server runs on this machine, which a
// Unix-domain socket proves.
bool LocalConnection(Display* display) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(ConnectionNumber(display), reinterpret_cast<sockaddr*>(&address), &length) != 0) return false;
    return address.ss_family == AF_UNIX;
}

int BitsPerPixel(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    }
    if (formats != nullptr) XFree(formats);
    return bits;
}

// Scales an 8-bit channel into the bits of `mask`.
unsigned long ChannelBits(std::uint32_t value, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const unsigned long top = mask >> shift;
    return ((value * top + 127) / 255) << shift;
}

}  // namespace

X11SurfaceCopy::X11SurfaceCopy(Display* display, Visual* visual, int depth, int width, int height, bool sharedMemory)
    : display_(display), visual_(visual), depth_(depth) {
    trueColour_ = visual_ != nullptr && visual_->c_class == TrueColor;
    formatMatches_ = trueColour_ && (depth_ == 24 || depth_ == 32) && visual_->red_mask == 0xFF0000 &&
                     visual_->green_mask == 0x00FF00 && visual_->blue_mask == 0x0000FF &&
                     std::endian::native == std::endian::little && BitsPerPixel(display_, depth_) == 32;
    if (sharedMemory && formatMatches_ && width > 0 && height > 0) AttachSharedImage(width, height);
}

X11SurfaceCopy::~X11SurfaceCopy() { DetachSharedImage(); }

void X11SurfaceCopy::AttachSharedImage(int width, int height) {
    if (!XShmQueryExtension(display_) || !LocalConnection(display_)) return;
    XImage* image = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &segment_,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (image == nullptr) return;
    if (image->bits_per_pixel != 32 || image->byte_order != LSBFirst) {
        XDestroyImage(image);
        return;
    }
    const std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height);
    segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment_.shmid < 0) {
        XDestroyImage(image);
        return;
    }
    void* address = shmat(segment_.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        return;
    }
    segment_.shmaddr = static_cast<char*>(address);
    segment_.readOnly = False;
    image->data = segment_.shmaddr;
    bool attached = false;
    {
        // A remote server, or one refusing the segment, answers with an error.
        X11ErrorTrap trap(display_);
        attached = XShmAttach(display_, &segment_) != 0;
        attached = trap.Sync() && attached;
    }
    // Marked for removal now: it goes once both sides have detached, even
    // when the host dies.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(segment_.shmaddr);
        image->data = nullptr;
        XDestroyImage(image);
        segment_ = {};
        return;
    }
    sharedImage_ = image;
}

void X11SurfaceCopy::DetachSharedImage() {
    if (sharedImage_ == nullptr) return;
    {
        X11ErrorTrap trap(display_);
        XShmDetach(display_, &segment_);
        trap.Sync();
    }
    sharedImage_->data = nullptr;
    XDestroyImage(sharedImage_);
    sharedImage_ = nullptr;
    shmdt(segment_.shmaddr);
    segment_ = {};
}

void X11SurfaceCopy::Put(Drawable drawable, GC gc, const RasterBitmap& source, const RasterRect& rect, int destX,
                         int destY) {
    const RasterRect area = rect.Intersection(source.Bounds());
    if (area.Empty() || source.IsEmpty()) return;
    destX += area.left - rect.left;
    destY += area.top - rect.top;
    if (!formatMatches_) {
        PutConverted(drawable, gc, source, area, destX, destY);
        return;
    }
    if (sharedImage_ == nullptr || area.right > sharedImage_->width || area.bottom > sharedImage_->height) {
        PutRows(drawable, gc, source, area, destX, destY);
        return;
    }
    const auto rowBytes = static_cast<std::size_t>(area.Width()) * sizeof(std::uint32_t);
    for (int y = area.top; y < area.bottom; ++y) {
        char* row = sharedImage_->data + static_cast<std::ptrdiff_t>(y) * sharedImage_->bytes_per_line +
                    static_cast<std::ptrdiff_t>(area.left) * 4;
        std::memcpy(row, source.Row(y) + area.left, rowBytes);
    }
    XShmPutImage(display_, drawable, gc, sharedImage_, area.left, area.top, destX, destY,
                 static_cast<unsigned>(area.Width()), static_cast<unsigned>(area.Height()), False);
    // The server reads the segment while it handles the request: wait for
    // it before the rows are written again.
    XSync(display_, False);
}

void X11SurfaceCopy::PutRows(Drawable drawable, GC gc, const RasterBitmap& source, const RasterRect& rect, int destX,
                             int destY) {
    // An image header over the bitmap's own rows: XPutImage only reads them.
    auto* rows = reinterpret_cast<char*>(const_cast<std::uint32_t*>(source.Row(0)));
    XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, rows,
                                 static_cast<unsigned>(source.Width()), static_cast<unsigned>(source.Height()), 32,
                                 source.RowPixels() * 4);
    if (image == nullptr) return;
    image->byte_order = LSBFirst;
    XPutImage(display_, drawable, gc, image, rect.left, rect.top, destX, destY, static_cast<unsigned>(rect.Width()),
              static_cast<unsigned>(rect.Height()));
    image->data = nullptr;
    XDestroyImage(image);
}

void X11SurfaceCopy::PutConverted(Drawable drawable, GC gc, const RasterBitmap& source, const RasterRect& rect,
                                  int destX, int destY) {
    XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(rect.Width()), static_cast<unsigned>(rect.Height()), 32, 0);
    if (image == nullptr) return;
    image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) *
                                                 static_cast<std::size_t>(rect.Height())));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return;
    }
    const int screen = DefaultScreen(display_);
    for (int y = 0; y < rect.Height(); ++y) {
        const std::uint32_t* row = source.Row(rect.top + y) + rect.left;
        for (int x = 0; x < rect.Width(); ++x) {
            const std::uint32_t r = (row[x] >> 16) & 0xFF;
            const std::uint32_t g = (row[x] >> 8) & 0xFF;
            const std::uint32_t b = row[x] & 0xFF;
            unsigned long pixel = 0;
            if (trueColour_) {
                pixel = ChannelBits(r, visual_->red_mask) | ChannelBits(g, visual_->green_mask) |
                        ChannelBits(b, visual_->blue_mask);
            } else {
                // No direct colours: black or white by lightness.
                pixel = r * 30 + g * 59 + b * 11 >= 128 * 100 ? WhitePixel(display_, screen) : BlackPixel(display_, screen);
            }
            XPutPixel(image, x, y, pixel);
        }
    }
    XPutImage(display_, drawable, gc, image, 0, 0, destX, destY, static_cast<unsigned>(rect.Width()),
              static_cast<unsigned>(rect.Height()));
    XDestroyImage(image);
}
