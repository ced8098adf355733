// COffscreenControl: the image surface, pixel scrolling, file output and injected input.
#include "orrinfrw7/offscreen_control.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace orrinfrw7 {
namespace {

// The largest image side Cairo accepts.
constexpr int kMaxSide = 32767;
constexpr int kMaxScale = 8;

bool Report(cairo_status_t status, std::string* error) {
  if (status == CAIRO_STATUS_SUCCESS) return true;
  if (error) *error = cairo_status_to_string(status);
  return false;
}

// Writes a vector surface's output to its file. Cairo's own file output lets a failed write pass
// unnoticed (a PDF page on a full disk comes back as a success), so the file is ours and its
// closing is checked too.
cairo_status_t WriteToFile(void* file, const unsigned char* data, unsigned int length) {
  return std::fwrite(data, 1, length, static_cast<std::FILE*>(file)) == length
             ? CAIRO_STATUS_SUCCESS
             : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

COffscreenControl::COffscreenControl(int width, int height)
    : m_previousClipboard(orrin7::GetCurrentSystem()->GetClipboardService()) {
  orrin7::GetCurrentSystem()->SetClipboardService(&m_clipboard);
  SetSize(width, height);
}

COffscreenControl::~COffscreenControl() {
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  if (system->GetClipboardService() == &m_clipboard)
    system->SetClipboardService(m_previousClipboard);
  DestroyElements();  // while the surface they may still ask for exists
  DestroySurface();
}

void COffscreenControl::CreateSurface(int width, int height) {
  m_surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::min(width * m_scale, kMaxSide),
                                         std::min(height * m_scale, kMaxSide));
  cairo_surface_set_device_scale(m_surface, m_scale, m_scale);
  m_context = cairo_create(m_surface);
  if (m_painter) {
    m_painter->SetContext(m_context);
  } else {
    m_painter = std::make_unique<orrin7::CCairoPainter>(m_context);
  }
}

void COffscreenControl::DestroySurface() {
  if (m_painter) m_painter->SetContext(nullptr);
  if (m_context) cairo_destroy(m_context);
  if (m_surface) cairo_surface_destroy(m_surface);
  m_context = nullptr;
  m_surface = nullptr;
}

void COffscreenControl::SetSize(int width, int height) {
  width = std::clamp(width, 1, kMaxSide);
  height = std::clamp(height, 1, kMaxSide);
  DestroySurface();
  CreateSurface(width, height);
  Resize(width, height);
}

void COffscreenControl::SetScale(int scale) {
  scale = std::clamp(scale, 1, kMaxScale);
  if (scale == m_scale) return;
  m_scale = scale;
  const orrin7::size<int> size = GetSize();
  SetSize(size.width, size.height);
}

void COffscreenControl::Paint() { DispatchPaint(); }

orrin7::_color COffscreenControl::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= GetSize().width || y >= GetSize().height) return orrin7::_color(0, 0);
  cairo_surface_flush(m_surface);
  const unsigned char* data = cairo_image_surface_get_data(m_surface);
  if (data == nullptr) return orrin7::_color(0, 0);  // the surface could not be made
  const int stride = cairo_image_surface_get_stride(m_surface);
  const int dx = x * m_scale;
  const int dy = y * m_scale;
  if (dx >= cairo_image_surface_get_width(m_surface) ||
      dy >= cairo_image_surface_get_height(m_surface))
    return orrin7::_color(0, 0);
  std::uint32_t argb = 0;
  std::memcpy(&argb, data + dy * stride + dx * 4, sizeof(argb));
  const std::uint8_t a = argb >> 24;
  const auto channel = [a](std::uint32_t premultiplied) {
    return static_cast<std::uint8_t>(a == 0 ? 0 : (premultiplied * 255 + a / 2) / a);
  };
  return orrin7::_color::rgb(channel((argb >> 16) & 0xFF), channel((argb >> 8) & 0xFF),
                             channel(argb & 0xFF), a, 0);
}

bool COffscreenControl::SavePng(const std::string& path, std::string* error) {
  Paint();
  cairo_surface_flush(m_surface);
  return Report(cairo_surface_write_to_png(m_surface, path.c_str()), error);
}

bool COffscreenControl::SavePdf(const std::string& path, std::string* error) {
  return SaveVector(path, VectorFormat::pdf, error);
}

bool COffscreenControl::SaveSvg(const std::string& path, std::string* error) {
  return SaveVector(path, VectorFormat::svg, error);
}

bool COffscreenControl::SaveVector(const std::string& path, VectorFormat format,
                                   std::string* error) {
  const double width = GetSize().width;
  const double height = GetSize().height;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return Report(CAIRO_STATUS_WRITE_ERROR, error);
  cairo_surface_t* surface =
      format == VectorFormat::pdf
          ? cairo_pdf_surface_create_for_stream(WriteToFile, file, width, height)
          : cairo_svg_surface_create_for_stream(WriteToFile, file, width, height);
  if (!Report(cairo_surface_status(surface), error)) {
    cairo_surface_destroy(surface);
    std::fclose(file);
    return false;
  }
  cairo_t* context = cairo_create(surface);
  {
    orrin7::CCairoPainter painter(context);
    PaintEverything(&painter);
    painter.SetContext(nullptr);
  }
  cairo_destroy(context);
  cairo_surface_finish(surface);
  const bool ok = Report(cairo_surface_status(surface), error);
  cairo_surface_destroy(surface);
  const bool closed = std::fclose(file) == 0;
  return ok && (closed || Report(CAIRO_STATUS_WRITE_ERROR, error));
}

bool COffscreenControl::ScrollSurface(const orrin7::rectangle<int>& area, int dx, int dy) {
  // In device pixels.
  const orrin7::rectangle<int> rect(area.left * m_scale, area.top * m_scale, area.right * m_scale,
                                    area.bottom * m_scale);
  dx *= m_scale;
  dy *= m_scale;
  // Destination pixels: the part of `rect` that still shows moved content.
  const int left = std::max(rect.left, rect.left + dx);
  const int right = std::min(rect.right, rect.right + dx);
  const int top = std::max(rect.top, rect.top + dy);
  const int bottom = std::min(rect.bottom, rect.bottom + dy);
  if (left >= right || top >= bottom) return false;
  // The pixels are read from all of `rect`, not only where they land: it must lie on the surface.
  if (rect.left < 0 || rect.top < 0 || rect.right > cairo_image_surface_get_width(m_surface) ||
      rect.bottom > cairo_image_surface_get_height(m_surface))
    return false;
  cairo_surface_flush(m_surface);
  unsigned char* data = cairo_image_surface_get_data(m_surface);
  if (data == nullptr) return false;
  const int stride = cairo_image_surface_get_stride(m_surface);
  const std::size_t bytes = static_cast<std::size_t>(right - left) * 4;
  const auto copy_row = [&](int y) {
    std::memmove(data + y * stride + left * 4, data + (y - dy) * stride + (left - dx) * 4, bytes);
  };
  if (dy > 0) {
    for (int y = bottom - 1; y >= top; --y) copy_row(y);
  } else {
    for (int y = top; y < bottom; ++y) copy_row(y);
  }
  cairo_surface_mark_dirty(m_surface);
  return true;
}

void COffscreenControl::RecoverPainter() {
  // A fresh context drops every clip the failed element left; the painter stays in its pass.
  cairo_t* fresh = cairo_create(m_surface);
  m_painter->SetContext(fresh);
  cairo_destroy(m_context);
  m_context = fresh;
}

bool COffscreenControl::MouseDown(int x, int y, orrin7::MouseButton button, int modifiers) {
  HideTooltip();
  return DispatchMouseDown(x, y, button, modifiers);
}

bool COffscreenControl::MouseUp(int x, int y, orrin7::MouseButton button, int modifiers) {
  HideTooltip();
  return DispatchMouseUp(x, y, button, modifiers);
}

bool COffscreenControl::MouseMove(int x, int y, int modifiers) {
  const bool moved = !m_pointerInside || m_pointer.x != x || m_pointer.y != y;
  m_pointer = {x, y};
  m_pointerInside = true;
  if (m_tipShown && !m_tip.area.contains(x, y)) HideTooltip();
  // A tip in view stays while the pointer moves inside its area; otherwise the delay starts again
  // from this move, so that a tip for the cell the pointer now rests on follows every time.
  if (moved && !m_tipShown) RestartTooltipDelay();
  return DispatchMouseMove(x, y, modifiers);
}

bool COffscreenControl::Click(int x, int y, orrin7::MouseButton button, int modifiers) {
  HideTooltip();  // a press takes the tip away, as MouseDown does
  const bool down = DispatchMouseDown(x, y, button, modifiers);
  const bool up = DispatchMouseUp(x, y, button, modifiers);
  return down || up;
}

bool COffscreenControl::DoubleClick(int x, int y, orrin7::MouseButton button, int modifiers) {
  Click(x, y, button, modifiers);
  DispatchMouseDown(x, y, button, modifiers);
  const bool handled = DispatchMouseDoubleClick(x, y, button, modifiers);
  DispatchMouseUp(x, y, button, modifiers);
  return handled;
}

void COffscreenControl::MouseLeave() {
  m_pointerInside = false;
  HideTooltip();
  DispatchMouseLeave();
}

bool COffscreenControl::Wheel(int x, int y, int dy, int modifiers, int dx) {
  HideTooltip();
  return DispatchWheel(x, y, dx, dy, modifiers);
}

bool COffscreenControl::KeyDown(int key, int modifiers) {
  HideTooltip();
  return DispatchKeyDown(key, modifiers);
}

bool COffscreenControl::KeyUp(int key, int modifiers) { return DispatchKeyUp(key, modifiers); }

bool COffscreenControl::Key(int key, int modifiers) {
  HideTooltip();  // as KeyDown does
  const bool down = DispatchKeyDown(key, modifiers);
  const bool up = DispatchKeyUp(key, modifiers);
  return down || up;
}

void COffscreenControl::SetInputFocus(bool focused) { DispatchFocus(focused); }

void COffscreenControl::HideTooltip() {
  m_tipShown = false;
  StopTimer(m_tipTimer);
  m_tipTimer = 0;
}

void COffscreenControl::RestartTooltipDelay() {
  StopTimer(m_tipTimer);
  m_tipTimer = StartTimer(GetRoot(), kTooltipDelayMs, 0, [this] {
    m_tipTimer = 0;
    HoverElapsed();
  });
}

void COffscreenControl::AdvanceTime(int ms) {
  const std::int64_t end = m_now + std::max(0, ms);
  std::int64_t due = 0;
  while (GetNextTimerDue(due) && due <= end) {
    m_now = std::max(m_now, due);
    DispatchTimers();
  }
  m_now = end;
}

bool COffscreenControl::HoverElapsed() {
  HideTooltip();
  if (!m_pointerInside) return false;
  CTooltipEvent event;
  const CVisualElement* element = QueryTooltip(m_pointer.x, m_pointer.y, event);
  if (element == nullptr || event.text.empty()) return false;
  const orrin7::point<int> origin = element->ElementToControl({0, 0});
  m_tip = {event.text,
           {event.rect.left + origin.x, event.rect.top + origin.y, event.rect.right + origin.x,
            event.rect.bottom + origin.y}};
  m_tipShown = true;
  // The record is for tests; a long-lived window keeps only the recent tips.
  if (m_tipRecord.size() >= 256) m_tipRecord.erase(m_tipRecord.begin(), m_tipRecord.begin() + 128);
  m_tipRecord.push_back(m_tip);
  TooltipShown();
  return true;
}

}  // namespace orrinfrw7
