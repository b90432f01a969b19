#include "font_building/atlas_packer.h"

#include <stb_rect_pack.h>

namespace vykcn::tool {

std::vector<RectPlacement> PackRectangles(const std::vector<RectSize>& sizes, int binWidth, int binHeight, int gap) {
  // Each rectangle reserves `gap` extra texels to its right and below; the bin grows by the same
  // amount so that rectangles may still touch its right and bottom edges.
  const int packWidth = binWidth + gap, packHeight = binHeight + gap;
  std::vector<stbrp_node> nodes(static_cast<size_t>(packWidth));
  stbrp_context context;
  stbrp_init_target(&context, packWidth, packHeight, nodes.data(), static_cast<int>(nodes.size()));
  stbrp_setup_heuristic(&context, STBRP_HEURISTIC_Skyline_BL_sortHeight);

  std::vector<stbrp_rect> rects(sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) {
    rects[i].id = static_cast<int>(i);
    rects[i].w = sizes[i].width + gap;
    rects[i].h = sizes[i].height + gap;
  }
  if (!rects.empty()) stbrp_pack_rects(&context, rects.data(), static_cast<int>(rects.size()));

  // stb_rect_pack hands the rectangles back in input order.
  std::vector<RectPlacement> placements(sizes.size());
  for (const stbrp_rect& rect : rects) {
    RectPlacement& placement = placements[static_cast<size_t>(rect.id)];
    placement.placed = rect.was_packed != 0;
    placement.x = rect.x;
    placement.y = rect.y;
  }
  return placements;
}

}  // namespace vykcn::tool
