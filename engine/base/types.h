// Small value types shared by the engine's subsystems.
#pragma once

struct vec2_t {
    float x, y;
};

// 2x2 matrix applied about a pivot: x' = m[0]*(x-cx) + m[1]*(y-cy) + cx,
// y' = m[2]*(x-cx) + m[3]*(y-cy) + cy.
struct mat2_t {
    float m[4];
};

struct color_t {
    float r, g, b, a;
    // An optional '#', then RRGGBB and optionally AA; non-hex characters count
    // as 0. A text with fewer than six digits leaves the colour unchanged.
    void FromHexValue(const char* text);
};
