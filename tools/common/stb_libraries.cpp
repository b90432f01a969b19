// stb's rectangle packer (the atlas) and PNG writer (previews), compiled into the toolkit from the
// build machine's headers on every platform, so that both tools run the same version.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <numeric>
#include <vector>

namespace {

// The packer sorts the glyphs' rectangles by height and width with qsort, and C runtimes place
// rectangles of one size in different orders (glibc's sort keeps them in order, msvcrt's does
// not): a sort that keeps them in order everywhere makes both tools' atlases the same.
void StableSort(void* base, size_t count, size_t size, int (*compare)(const void*, const void*)) {
  auto* bytes = static_cast<unsigned char*>(base);
  std::vector<size_t> order(count);
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return compare(bytes + a * size, bytes + b * size) < 0; });
  std::vector<unsigned char> sorted(count * size);
  for (size_t i = 0; i < count; ++i) std::memcpy(&sorted[i * size], bytes + order[i] * size, size);
  if (count != 0) std::memcpy(bytes, sorted.data(), sorted.size());
}

}  // namespace

#define STBRP_SORT StableSort
#define STB_RECT_PACK_IMPLEMENTATION
#include <stb_rect_pack.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
