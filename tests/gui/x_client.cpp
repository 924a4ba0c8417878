#include "x_client.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdio>

namespace gui_test {

struct XClient::Impl {
  Display* display = nullptr;
};

XClient::XClient() : impl_(std::make_unique<Impl>()) {}

XClient::~XClient() {
  if (impl_->display != nullptr) XCloseDisplay(impl_->display);
}

bool XClient::Open(const std::string& display) {
  impl_->display = XOpenDisplay(display.c_str());
  return impl_->display != nullptr;
}

unsigned long XClient::FindWindow(const std::string& name) {
  Display* d = impl_->display;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(d, children[i], &attributes) || attributes.map_state != IsViewable) {
      continue;
    }
    char* window_name = nullptr;
    if (XFetchName(d, children[i], &window_name) && window_name != nullptr) {
      if (name == window_name) found = children[i];
      XFree(window_name);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

Geometry XClient::GetGeometry(unsigned long window) {
  Display* d = impl_->display;
  Geometry g;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(d, window, &attributes)) return g;
  Window child = 0;
  XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &g.x, &g.y, &child);
  g.width = attributes.width;
  g.height = attributes.height;
  return g;
}

namespace {

// The channel of a pixel that `mask` selects, scaled to 8 bits.
uint32_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  const unsigned long max = mask >> shift;
  return static_cast<uint32_t>(((pixel & mask) >> shift) * 255 / max);
}

}  // namespace

std::vector<uint32_t> XClient::Capture(unsigned long window, int x, int y, int width, int height) {
  std::vector<uint32_t> rgb;
  XImage* image = XGetImage(impl_->display, window, x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return rgb;
  rgb.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int row = 0; row < height; ++row) {
    for (int col = 0; col < width; ++col) {
      const unsigned long p = XGetPixel(image, col, row);
      rgb.push_back(Channel(p, image->red_mask) << 16 | Channel(p, image->green_mask) << 8 |
                    Channel(p, image->blue_mask));
    }
  }
  XDestroyImage(image);
  return rgb;
}

bool XClient::AsksToStayAbove(unsigned long window) {
  Display* d = impl_->display;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, window, XInternAtom(d, "_NET_WM_STATE", False), 0, 64, False, XA_ATOM,
                         &type, &format, &count, &remaining, &data) != Success) {
    return false;
  }
  const Atom above = XInternAtom(d, "_NET_WM_STATE_ABOVE", False);
  bool found = false;
  for (unsigned long i = 0; i < count && type == XA_ATOM; ++i) {
    found = found || reinterpret_cast<Atom*>(data)[i] == above;
  }
  if (data != nullptr) XFree(data);
  return found;
}

bool XClient::AsksForFixedSize(unsigned long window) {
  XSizeHints hints = {};
  long supplied = 0;
  if (!XGetWMNormalHints(impl_->display, window, &hints, &supplied)) return false;
  return (hints.flags & PMinSize) && (hints.flags & PMaxSize) &&
         hints.min_width == hints.max_width && hints.min_height == hints.max_height;
}

bool XClient::SendCloseRequest(unsigned long window) {
  Display* d = impl_->display;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(d, window, False, NoEventMask, &event) != 0;
  XSync(d, False);
  return sent;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb) {
  if (rgb.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  auto fail = [&] {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  };
  if (png == nullptr || info == nullptr) return fail();
  if (setjmp(png_jmpbuf(png)) != 0) return fail();  // libpng jumps back here when it fails
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = rgb[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
      row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(p >> 16);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(p >> 8);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(p);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

}  // namespace gui_test
