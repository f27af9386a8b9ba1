// The water line along the top of the water inside the field: two buffers of 256 signed heights
// stepped as a damped wave, one step per 100 ms. Column i covers the two pixels originX + 2i and
// originX + 2i + 1 of the field; a positive height lowers the surface.
#pragma once
#include <cstdint>

enum class WaterShape {
    Bump32, // aiming
    Dip64,  // loading a bubble
    Dip16,  // a rising bubble reaching the surface
    Bump64, // a falling bubble crossing the danger line
};

class WaterLine {
public:
    static constexpr int kColumns = 256;
    static constexpr float kStepMs = 100.0f;

    // Writes the shape into columns column - 5 .. column + 5 of the current buffer; columns
    // outside the line land on its first or last column.
    void disturb(int column, WaterShape shape);
    // Runs at most one damped step when 100 ms have gathered.
    void tick(float dt);
    // Height of column i in the current buffer; 0 outside the line.
    int height(int i) const;

private:
    void step();

    int8_t buffers_[2][kColumns] = {};
    int current_ = 0;
    int dampingShift_ = 4;
    float accumulator_ = 0.0f;
};
