// 4x4 single-precision matrix; element 4i + j is row i, column j.
#pragma once

class nTransform {
public:
    // out = a x b; out must be a different object from a and from b.
    static void Combine(nTransform& out, const nTransform& a, const nTransform& b);
    // Replaces the matrix by its inverse. A singular matrix gives non-finite
    // elements; callers keep them.
    void Invert();

    float m[16];
};

// The identity, set at state set-up.
extern nTransform zk_transform_identity;
