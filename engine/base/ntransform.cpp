#include "engine/base/ntransform.h"

nTransform zk_transform_identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

void nTransform::Combine(nTransform& out, const nTransform& a, const nTransform& b) {
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            float sum = a.m[4 * i + 0] * b.m[0 * 4 + j];
            sum += a.m[4 * i + 1] * b.m[1 * 4 + j];
            sum += a.m[4 * i + 2] * b.m[2 * 4 + j];
            sum += a.m[4 * i + 3] * b.m[3 * 4 + j];
            out.m[4 * i + j] = sum;
        }
    }
}

// Inverse by cofactors: the 2x2 minors of rows 2-3 and of rows 0-1 give every
// cofactor; one reciprocal of the determinant scales the adjugate.
void nTransform::Invert() {
    const float* a = m;
    float s0 = a[0] * a[5] - a[4] * a[1];
    float s1 = a[0] * a[6] - a[4] * a[2];
    float s2 = a[0] * a[7] - a[4] * a[3];
    float s3 = a[1] * a[6] - a[5] * a[2];
    float s4 = a[1] * a[7] - a[5] * a[3];
    float s5 = a[2] * a[7] - a[6] * a[3];

    float c5 = a[10] * a[15] - a[14] * a[11];
    float c4 = a[9] * a[15] - a[13] * a[11];
    float c3 = a[9] * a[14] - a[13] * a[10];
    float c2 = a[8] * a[15] - a[12] * a[11];
    float c1 = a[8] * a[14] - a[12] * a[10];
    float c0 = a[8] * a[13] - a[12] * a[9];

    float c00 = a[5] * c5 - a[6] * c4 + a[7] * c3;
    float c01 = -(a[4] * c5 - a[6] * c2 + a[7] * c1);
    float c02 = a[4] * c4 - a[5] * c2 + a[7] * c0;
    float c03 = -(a[4] * c3 - a[5] * c1 + a[6] * c0);
    float determinant = a[0] * c00 + a[1] * c01 + a[2] * c02 + a[3] * c03;
    float r = 1.0f / determinant;

    float result[16];
    result[0] = c00 * r;
    result[1] = (-a[1] * c5 + a[2] * c4 - a[3] * c3) * r;
    result[2] = (a[13] * s5 - a[14] * s4 + a[15] * s3) * r;
    result[3] = (-a[9] * s5 + a[10] * s4 - a[11] * s3) * r;
    result[4] = c01 * r;
    result[5] = (a[0] * c5 - a[2] * c2 + a[3] * c1) * r;
    result[6] = (-a[12] * s5 + a[14] * s2 - a[15] * s1) * r;
    result[7] = (a[8] * s5 - a[10] * s2 + a[11] * s1) * r;
    result[8] = c02 * r;
    result[9] = (-a[0] * c4 + a[1] * c2 - a[3] * c0) * r;
    result[10] = (a[12] * s4 - a[13] * s2 + a[15] * s0) * r;
    result[11] = (-a[8] * s4 + a[9] * s2 - a[11] * s0) * r;
    result[12] = c03 * r;
    result[13] = (a[0] * c3 - a[1] * c1 + a[2] * c0) * r;
    result[14] = (-a[12] * s3 + a[13] * s1 - a[14] * s0) * r;
    result[15] = (a[8] * s3 - a[9] * s1 + a[10] * s0) * r;
    for (int i = 0; i < 16; ++i) m[i] = result[i];
}
