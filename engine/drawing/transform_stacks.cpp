// The pushes and pops of the world, view and projection transform stacks.
// A world transform pushed onto a non-empty stack is combined with the one
// below it; view and projection transforms are pushed as they are. Each
// change draws the pending batch first, so that it keeps the transforms it
// was given; reading the stacks is in current_transforms.cpp. The
// graphics-table slots are declared in engine/runtime/interface_functions.h.
// Renderer thread only.

#include "engine/drawing/batch_renderer.h"
#include "engine/drawing/current_transforms.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"

namespace {

// One of the three stacks, with its messages.
struct TransformStack {
    nTransform* entries;
    int32_t* top;
    const char* full_message;   // %d: the stack size
    const char* empty_message;
};

TransformStack WorldStack() {
    return {zk_state.world_transform_stack, &zk_state.world_transform_top,
            "ZK_Graphics_PushWorldTransform: world transform stack is full (max size %d), transform not pushed.",
            "ZK_Graphics_PopWorldTransform: called too many times."};
}
TransformStack ViewStack() {
    return {zk_state.view_transform_stack, &zk_state.view_transform_top,
            "ZK_Graphics_PushViewTransform: view transform stack is full (max size %d), transform not pushed.",
            "ZK_Graphics_PopViewTransform: called too many times."};
}
TransformStack ProjectionStack() {
    return {zk_state.projection_transform_stack, &zk_state.projection_transform_top,
            "ZK_Graphics_PushProjectionTransform: projection transform stack is full (max size %d), transform not "
            "pushed.",
            "ZK_Graphics_PopProjectionTransform: called too many times."};
}

bool IsEmpty(const TransformStack& s) { return *s.top < 0; }
const nTransform& Top(const TransformStack& s) { return s.entries[*s.top]; }

// Warns and answers false when the stack cannot take another entry.
bool HasRoom(const TransformStack& s) {
    if (*s.top < ZK_TRANSFORM_STACK_SIZE - 1) return true;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, s.full_message, static_cast<int>(ZK_TRANSFORM_STACK_SIZE));
    return false;
}

// Warns and answers false when there is nothing to pop.
bool HasEntry(const TransformStack& s) {
    if (!IsEmpty(s)) return true;
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "%s", s.empty_message);
    return false;
}

void Push(const TransformStack& s, const nTransform& t) { s.entries[++*s.top] = t; }

void InvalidateWorldView() { zk_state.world_view_transform_valid = 0; }

}  // namespace

// --- World ----------------------------------------------------------------------------------

void ZK_Graphics_PushWorldTransform(const nTransform* transform) {
    TransformStack s = WorldStack();
    if (!HasRoom(s)) return;
    zk_batch_renderer.Flush();
    InvalidateWorldView();
    if (!transform) {
        Push(s, zk_transform_identity);
    } else if (IsEmpty(s)) {
        Push(s, *transform);
    } else {
        nTransform combined;
        nTransform::Combine(combined, Top(s), *transform);
        Push(s, combined);
    }
    ZKI_UpdateWorldViewTransform();
}

void ZK_Graphics_PopWorldTransform() {
    TransformStack s = WorldStack();
    if (!HasEntry(s)) return;
    zk_batch_renderer.Flush();
    --*s.top;
    InvalidateWorldView();
    if (IsEmpty(s)) s.entries[0] = zk_transform_identity;
    ZKI_UpdateWorldViewTransform();
}

// --- View ------------------------------------------------------------------------------------

void ZK_Graphics_PushViewTransform(const nTransform* transform) {
    TransformStack s = ViewStack();
    if (!HasRoom(s)) return;
    zk_batch_renderer.Flush();
    zk_state.view_position_valid = 0;
    InvalidateWorldView();
    Push(s, transform ? *transform : zk_transform_identity);
    ZKI_UpdateWorldViewTransform();
}

void ZK_Graphics_PopViewTransform() {
    TransformStack s = ViewStack();
    if (!HasEntry(s)) return;
    zk_batch_renderer.Flush();
    --*s.top;
    zk_state.view_position_valid = 0;
    InvalidateWorldView();
    ZKI_UpdateWorldViewTransform();
}

// --- Projection ---------------------------------------------------------------------------------

void ZK_Graphics_PushProjectionTransform(const nTransform* transform) {
    TransformStack s = ProjectionStack();
    if (!HasRoom(s)) return;
    zk_batch_renderer.Flush();
    Push(s, transform ? *transform : ZKI_ComputeDefaultProjection());
}

void ZK_Graphics_PopProjectionTransform() {
    TransformStack s = ProjectionStack();
    if (!HasEntry(s)) return;
    zk_batch_renderer.Flush();
    --*s.top;
}
