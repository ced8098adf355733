// Image lists for the painter tests: solid images of chosen sizes, told apart by their sizes in
// the recording painter's calls.
#pragma once

#include <initializer_list>

#include "orrin7/system.h"

namespace sv4_test {

// A list holding one opaque image of each size, in order.
inline orrin7::orrin_ptr<orrin7::IImageList> solid_image_list(
    std::initializer_list<orrin7::size<int>> sizes, std::uint32_t argb = 0xFFFF0000u) {
  orrin7::orrin_ptr<orrin7::IImageList> list = orrin7::GetCurrentSystem()->CreateImageList(0, 0);
  for (const orrin7::size<int>& s : sizes) {
    orrin7::bitmap image;
    image.width = s.width;
    image.height = s.height;
    image.pixels.assign(std::size_t(s.width) * std::size_t(s.height), argb);
    list->Add(image);
  }
  return list;
}

}  // namespace sv4_test
