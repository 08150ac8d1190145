// Headless windows: client images, the window tree, invalidation and the plug-in's message handling.
#include "gui/platform/cairo/HeadlessWindow.h"

#include "gui/core/DrawSurface.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/WindowWatch.h"
#include "gui/platform/cairo/DeviceContext.h"
#include "gui/platform/cairo/ScriptedInput.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t windowTag = 0x57494E44;  // "WIND"
constexpr size_t dropNameSize = 1024;       // the drop target's buffer per file name

std::vector<HeadlessWindow*>& liveWindows() {
    static std::vector<HeadlessWindow*> windows;  // creation order
    return windows;
}

uint32_t lastMessageTicks = 0;

cairo_surface_t* createClientImage(int32_t width, int32_t height) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(width, 0), std::max(height, 0));
    cairo_t* cr = cairo_create(image);
    cairo_set_source_rgb(cr, ((HeadlessWindow::backgroundRgb >> 16) & 0xFF) / 255.0,
                         ((HeadlessWindow::backgroundRgb >> 8) & 0xFF) / 255.0, (HeadlessWindow::backgroundRgb & 0xFF) / 255.0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return image;
}

UiRect unite(const UiRect& a, const UiRect& b) {
    if (a.isEmpty()) return b;
    if (b.isEmpty()) return a;
    return UiRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

}  // namespace

HeadlessWindow::HeadlessWindow(NativeHandle parent, const UiRect& area, bool caption)
    : tag_(windowTag), parent_(parent), position_{area.left, area.top}, width_(std::max(area.width(), 0)),
      height_(std::max(area.height(), 0)), caption_(caption) {
    image_ = createClientImage(width_, height_);
    liveWindows().push_back(this);
    invalidateAll();
}

HeadlessWindow::~HeadlessWindow() {
    // WM_DESTROY goes to the window, then its children are destroyed with it.
    if (userData_) userData_->onNativeDestroy();
    auto& windows = liveWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
    tag_ = 0;
    for (;;) {
        auto child = std::find_if(windows.begin(), windows.end(), [this](HeadlessWindow* w) { return w->parent_ == this; });
        if (child == windows.end()) break;
        delete *child;
    }
    cairo_surface_destroy(image_);
}

bool HeadlessWindow::isAlive(const void* handle) {
    if (!handle) return false;
    const auto& windows = liveWindows();
    return std::find(windows.begin(), windows.end(), handle) != windows.end();
}

HeadlessWindow* HeadlessWindow::fromHandle(NativeHandle handle) {
    return isAlive(handle) ? static_cast<HeadlessWindow*>(handle) : nullptr;
}

int32_t HeadlessWindow::liveWindowCount() { return int32_t(liveWindows().size()); }

UiColor HeadlessWindow::pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return colourBlack;
    cairo_surface_flush(image_);
    const unsigned char* row = cairo_image_surface_get_data(image_) + size_t(y) * cairo_image_surface_get_stride(image_);
    const uint32_t value = reinterpret_cast<const uint32_t*>(row)[x];
    return UiColor{uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value), 0};
}

bool HeadlessWindow::writePng(const std::string& path) const {
    return cairo_surface_write_to_png(image_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

HeadlessWindow* HeadlessWindow::parentWindow() const { return fromHandle(parent_); }

UiPoint HeadlessWindow::screenOrigin() const {
    UiPoint origin = position_;
    for (const HeadlessWindow* up = parentWindow(); up; up = up->parentWindow()) {
        origin.h += up->position_.h;
        origin.v += up->position_.v;
    }
    return origin;
}

UiRect HeadlessWindow::screenRect() const {
    const UiPoint origin = screenOrigin();
    return UiRect{origin.h, origin.v, origin.h + width_, origin.v + height_};
}

void HeadlessWindow::resize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    cairo_surface_t* image = createClientImage(width, height);
    cairo_t* cr = cairo_create(image);
    cairo_set_source_surface(cr, image_, 0, 0);
    cairo_rectangle(cr, 0, 0, std::min(width, width_), std::min(height, height_));
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(image_);
    image_ = image;
    const int32_t oldWidth = width_;
    const int32_t oldHeight = height_;
    width_ = width;
    height_ = height;
    pending_.boundTo(UiRect{0, 0, width_, height_});
    // The uncovered strips need painting, as after SetWindowPos.
    if (width > oldWidth) invalidate(UiRect{oldWidth, 0, width, height});
    if (height > oldHeight) invalidate(UiRect{0, oldHeight, width, height});
}

void HeadlessWindow::invalidate(const UiRect& area) {
    UiRect clipped = area;
    clipped.boundTo(UiRect{0, 0, width_, height_});
    pending_ = unite(pending_, clipped);
}

void HeadlessWindow::invalidateAll() { invalidate(UiRect{0, 0, width_, height_}); }

bool HeadlessWindow::paint(const UiRect& area) {
    invalidate(area);
    return paintPending();
}

bool HeadlessWindow::paint() { return paint(UiRect{0, 0, width_, height_}); }

bool HeadlessWindow::paintPending() {
    if (pending_.isEmpty()) return false;
    // BeginPaint validates first: invalidations made while drawing wait for the next paint.
    const UiRect area = pending_;
    pending_ = UiRect{};
    if (!userData_) {
        if (hostPaint) hostPaint();
        return true;
    }
    // Out of memory while drawing: the context goes all the same, and the caller's wall answers.
    const DeviceContext::Held context(DeviceContext::forPaint(this, area));
    DrawSurface surface(userData_, context.get(), this);
    userData_->drawArea(&surface, uiscale::coveringPanel(area, surface.scale));
    return true;
}

bool HeadlessWindow::dispatchOnePendingPaint() {
    for (HeadlessWindow* window : liveWindows()) {
        if (window->hasPendingPaint()) return window->paintPending();
    }
    return false;
}

uint32_t HeadlessWindow::lastMessageTime() { return lastMessageTicks; }

void HeadlessWindow::mouseDown(int32_t button, UiPoint where) {
    (void)button;  // the three button messages are handled alike; the button state is polled
    messageTime_ = lastMessageTicks = ScriptedInput::instance().ticks();
    if (!userData_) return;
    const DeviceContext::Held context(DeviceContext::forWindow(this));
    PluginWindow* owner = userData_;
    WindowWatch watch(owner);
    DrawSurface surface(owner, context.get(), this);
    const bool dragOn = owner->isDragging();  // then this press starts nothing, and the drag's loop goes on
    owner->onMouseDown(&surface, DrawSurface::panelPoint(where, UiPoint{}, surface.scale));
    // Event-driven drags: each script step is one motion event with its own cursor and buttons.
    while (!dragOn && !watch.windowClosed() && owner->isDragging()) {
        UiPoint at;
        surface.getMousePosition(at);
        owner->dragTo(&surface, at, surface.getMouseButtons());
    }
}

void HeadlessWindow::click(UiPoint where, int32_t modifiers, int32_t button) {
    const UiPoint origin = screenOrigin();
    const UiPoint screen{where.h + origin.h, where.v + origin.v};
    ScriptedInput::instance().press(screen, modifiers, button).release();
    mouseDown(button, where);
}

void HeadlessWindow::drag(const std::vector<UiPoint>& path, int32_t modifiers, int32_t button) {
    if (path.empty()) return;
    const UiPoint origin = screenOrigin();
    ScriptedInput& input = ScriptedInput::instance();
    input.press(UiPoint{path[0].h + origin.h, path[0].v + origin.v}, modifiers, button);
    for (size_t i = 1; i < path.size(); ++i) input.moveTo(UiPoint{path[i].h + origin.h, path[i].v + origin.v});
    input.release();
    mouseDown(button, path[0]);
}

bool HeadlessWindow::dropText(const char* text, UiPoint screenWhere) {
    if (!dropRegistered_ || !userData_ || !text) return false;
    ScriptedInput::instance().setCursor(screenWhere);
    // The text travels in global memory with its terminating zero; the count is that memory's size.
    const size_t size = std::strlen(text) + 1;
    std::vector<char> copy(text, text + size);
    const char* items[1] = {copy.data()};
    UiPoint where;
    userData_->getCursorPosition(where);
    return userData_->onDrop(items, int32_t(size), DropText, where);
}

bool HeadlessWindow::dropFiles(const std::vector<std::string>& names, UiPoint screenWhere) {
    if (!dropRegistered_ || !userData_) return false;
    ScriptedInput::instance().setCursor(screenWhere);
    // Each name in its own buffer of the drop target's size; shortcuts stay as they are here, since
    // this system has no shell links to resolve.
    std::vector<std::vector<char>> buffers;
    std::vector<const char*> items;
    for (const std::string& name : names) {
        std::vector<char> buffer(dropNameSize, '\0');
        std::memcpy(buffer.data(), name.data(), std::min(name.size(), dropNameSize - 1));
        buffers.push_back(std::move(buffer));
    }
    for (const auto& buffer : buffers) items.push_back(buffer.data());
    UiPoint where;
    userData_->getCursorPosition(where);
    return userData_->onDrop(items.data(), int32_t(items.size()), DropFiles, where);
}
