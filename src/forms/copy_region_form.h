// The copy region dialog "コピー領域の設定": the four edges in millimetres, the reduction ratio
// in percent and the enhanced-metafile switch, offered or not.
#pragma once

#include <cstdint>
#include <string>

namespace plox::forms {

struct CopyRegion {
    int32_t left = 0, top = 0, right = 0, bottom = 0; // 0.01 mm
    int32_t ratio = 100;                              // percent
    bool enhanced = true;
    bool enhanced_offered = false;
};

struct CopyRegionForm {
    std::string left, top, right, bottom, ratio;
    bool enhanced = true;
    bool enhanced_enabled = false;

    void load(const CopyRegion& region);
    // Edges as read from the texts; a ratio outside 1..99 becomes 100; the switch is taken only
    // when it was offered.
    void apply(CopyRegion& region) const;
};

} // namespace plox::forms
