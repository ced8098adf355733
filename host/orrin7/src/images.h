// CImageList: the image lists the system object creates.
#pragma once

#include <vector>

#include "orrin7/system.h"

namespace orrin7 {

// Images kept by value and drawn through IPainter::DrawBitmap. Reference-counted: created with
// one reference (for orrin_ptr::adopt) and deleted when the last one is released.
class CImageList : public IImageList {
 public:
  // `width` × `height`: the size every image must have; 0 × 0 accepts any size.
  CImageList(int width, int height);

  void AddRef() override;
  void Release() override;
  int GetImageCount() const override;
  size<int> GetImageSize(int i) const override;
  // -1 (nothing added) for an empty image, pixels that do not match the size, or a size other
  // than the list's.
  int Add(const bitmap& image) override;
  void Draw(IPainter* painter, int i, int x, int y, int flags, int state) const override;

 private:
  ~CImageList() override = default;
  bool Contains(int i) const { return i >= 0 && std::size_t(i) < m_images.size(); }

  int m_width;
  int m_height;
  long m_references = 1;
  std::vector<bitmap> m_images;
};

}  // namespace orrin7
