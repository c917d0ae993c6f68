// Matrices that tests build their cases from.
#pragma once

#include "engine/base/ntransform.h"

inline nTransform Translation(float x, float y, float z) {
    nTransform t = zk_transform_identity;
    t.m[3] = x;
    t.m[7] = y;
    t.m[11] = z;
    return t;
}

// A uniform scale of x, y and z.
inline nTransform Scale(float s) {
    nTransform t = zk_transform_identity;
    t.m[0] = t.m[5] = t.m[10] = s;
    return t;
}
