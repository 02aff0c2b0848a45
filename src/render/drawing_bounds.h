// Stored numbers of a graph bounded, for the length of one drawing, to what the 32-bit drawing
// arithmetic can hold: an edited or hostile document then draws something bounded instead of
// overflowing, and the stored values are put back afterwards, so it saves unchanged.
#pragma once

#include "document/model.h"

#include <cstdint>
#include <vector>

namespace plox {

// Limits in logical units (0.01 mm) and stored font units (0.01 pt): ten metres for positions,
// one metre for lengths, widths and font heights, ten times for the magnification. Sums and
// products of a few such values stay far inside 32 bits.
inline constexpr int32_t POSITION_LIMIT = 1'000'000;
inline constexpr int32_t LENGTH_LIMIT = 100'000;
inline constexpr int32_t MAGNIFICATION_LIMIT = 1'000;

class DrawingBounds {
public:
    explicit DrawingBounds(Graph& graph);
    ~DrawingBounds();
    DrawingBounds(const DrawingBounds&) = delete;
    DrawingBounds& operator=(const DrawingBounds&) = delete;

private:
    void clamp(int32_t& value, int32_t low, int32_t high);
    void position(int32_t& v) { clamp(v, -POSITION_LIMIT, POSITION_LIMIT); }
    void length(int32_t& v) { clamp(v, -LENGTH_LIMIT, LENGTH_LIMIT); }
    void bound(LineAttr& line);
    void bound(LogFont& font);
    void bound(Axis& axis);
    void bound(Series& series);
    void bound(GraphObject& object);

    struct Saved {
        int32_t* field;
        int32_t stored, bounded;
    };
    std::vector<Saved> saved_;
};

} // namespace plox
