// Event delivery and input state.

#include "engine/events/events.h"

#include <cmath>
#include <cstdlib>

#include "engine/runtime/basic_functions.h"
#include "engine/runtime/zekar.h"

// --- Key tables -------------------------------------------------------------

static bool IsKeyCode(int code) { return code >= 0 && code < ZK_NUM_KEY_STATES; }
static bool IsPointerIndex(int pointer) { return pointer >= 0 && pointer < ZK_MAX_POINTERS; }

static int PointerKey(int pointer, int offset) {
    return ZK_KEY_POINTER_BLOCK + ZK_KEY_POINTER_BLOCK_SIZE * pointer + offset;
}

static int ToInt(float value) { return static_cast<int>(value); }

// --- Delivery ---------------------------------------------------------------

zk_event_filter_t zk_console_event_hook = nullptr;

// A down marks a fresh press when the key was up; an up a release when it
// was down.
static void UpdateKeyState(zk_event_t& event) {
    zk_key_event_t key = ZKI_EventAs<zk_key_event_t>(event);
    if (key.key < 1 || key.key >= ZK_NUM_KEY_STATES) return;
    int32_t& state = zk_state.key_states_i[key.key];
    if (event.type == ZK_EVENT_KEY_DOWN) {
        key.fresh = state == 0;
        state = ZK_KEY_STATE_DOWN;
    } else {
        key.fresh = state != 0;
        state = 0;
    }
    ZKI_EventSet(event, key);
}

// Stores the pointer's new position and answers its previous one.
static void MovePointer(int pointer, int x, int y, int32_t* previous_x, int32_t* previous_y) {
    float* position = &zk_state.key_states_f[PointerKey(pointer, ZK_KEY_POINTER_X)];
    *previous_x = ToInt(position[0]);
    *previous_y = ToInt(position[1]);
    position[0] = static_cast<float>(x);
    position[1] = static_cast<float>(y);
    if (pointer != 0) return;
    zk_state.key_states_i[ZK_KEY_POINTER0_X] = x;
    zk_state.key_states_i[ZK_KEY_POINTER0_Y] = y;
    zk_state.key_states_f[ZK_KEY_POINTER0_X] = static_cast<float>(x);
    zk_state.key_states_f[ZK_KEY_POINTER0_Y] = static_cast<float>(y);
}

static void UpdateButtonState(int pointer, int button, int state) {
    if (button == ZK_KEY_MOUSE_LEFT || button == ZK_KEY_MOUSE_RIGHT)
        zk_state.key_states_i[PointerKey(pointer, ZK_KEY_POINTER_BUTTONS + button - ZK_KEY_MOUSE_LEFT)] = state;
    // A queued event may carry any 16-bit code: only codes of the table count.
    if (pointer == 0 && IsKeyCode(button)) zk_state.key_states_i[button] = state;
}

// False for an event whose pointer index lies outside the pointer blocks
// (possible for events queued through the table, which skip the filter of
// ZKI_SendMouseEvent): such an event is dropped.
static bool UpdatePointerState(zk_event_t& event) {
    if (event.type == ZK_EVENT_POINTER_MOVE) {
        zk_pointer_event_t move = ZKI_EventAs<zk_pointer_event_t>(event);
        if (!IsPointerIndex(move.pointer)) return false;
        MovePointer(move.pointer, move.x, move.y, &move.previous_x, &move.previous_y);
        ZKI_EventSet(event, move);
        return true;
    }
    zk_button_event_t button = ZKI_EventAs<zk_button_event_t>(event);
    if (!IsPointerIndex(button.pointer)) return false;
    MovePointer(button.pointer, button.x, button.y, &button.previous_x, &button.previous_y);
    UpdateButtonState(button.pointer, button.button, event.type == ZK_EVENT_POINTER_DOWN ? ZK_KEY_STATE_DOWN : 0);
    ZKI_EventSet(event, button);
    return true;
}

static bool IsPointerEvent(zk_event_type_t type) {
    return type == ZK_EVENT_POINTER_MOVE || type == ZK_EVENT_POINTER_UP || type == ZK_EVENT_POINTER_DOWN;
}

int ZKI_SendEvent(zk_event_t* event) {
    if (!event) return 0;
    int answer = 0;
    zk_event_filter_t console = zk_console_event_hook;
    if (console && console(event, &answer)) return answer;
    if (event->type == ZK_EVENT_KEY_DOWN || event->type == ZK_EVENT_KEY_UP) UpdateKeyState(*event);
    if (IsPointerEvent(event->type) && !UpdatePointerState(*event)) return 0;
    if (zk_prog && zk_prog->EventProc && zk_state.initialized) return zk_prog->EventProc(*event);
    return 0;
}

void ZKI_ProcessEventQueue() {
    // Kept between calls; its storage is replaced by each copy.
    static nArray<zk_event_t> working;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
    working = zk_state.event_queue;
    zk_state.event_queue.count = 0;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_RESOURCE_QUEUE);
    for (int i = 0; i < working.count; ++i) {
        ZKI_SendEvent(&working.items[i]);
        ZKI_FreeEvent(&working.items[i]);
    }
    working.count = 0;
}

static void FreeBlocks(const zk_service_event_t& event, int count) {
    for (int i = 0; i < count; ++i) ZK_FreeMemory(event.blocks[i]);
}

static void FreeSocialUser(zk_social_user_t* user) {
    if (!user) return;
    ZK_FreeMemory(user->id);
    ZK_FreeMemory(user->name);
}

static void FreeLeaderboardScores(const zk_event_t& event) {
    zk_leaderboard_scores_event_t scores = ZKI_EventAs<zk_leaderboard_scores_event_t>(event);
    ZK_FreeMemory(scores.reason);
    ZK_FreeMemory(scores.category);
    ZK_FreeMemory(scores.scores);
}

static void FreePurchase(const zk_event_t& event) {
    zk_purchase_event_t purchase = ZKI_EventAs<zk_purchase_event_t>(event);
    ZK_FreeMemory(purchase.product_id);
    ZK_FreeMemory(purchase.information);
    ZK_FreeMemory(purchase.further);
    ZK_FreeMemory(purchase.data);
}

static void FreeSocialLogin(const zk_event_t& event) {
    zk_social_login_event_t login = ZKI_EventAs<zk_social_login_event_t>(event);
    FreeSocialUser(login.user);
    ZK_FreeMemory(login.user);
    ZK_FreeMemory(login.unused);
}

static void FreeSocialUsers(const zk_event_t& event) {
    zk_social_users_event_t users = ZKI_EventAs<zk_social_users_event_t>(event);
    if (users.users)
        for (int i = 0; i < users.count; ++i) FreeSocialUser(&users.users[i]);
    ZK_FreeMemory(users.users);
}

void ZKI_FreeEvent(zk_event_t* event) {
    if (!event) return;
    switch (event->type) {
    case ZK_EVENT_SERVICE_18:
    case ZK_EVENT_SERVICE_20: FreeBlocks(ZKI_EventAs<zk_service_event_t>(*event), 1); break;
    case ZK_EVENT_SERVICE_36: FreeBlocks(ZKI_EventAs<zk_service_event_t>(*event), 3); break;
    case ZK_EVENT_LEADERBOARD_SCORES: FreeLeaderboardScores(*event); break;
    case ZK_EVENT_PURCHASE_NOTICE:
    case ZK_EVENT_PURCHASE_COMPLETED: FreePurchase(*event); break;
    case ZK_EVENT_SOCIAL_LOGIN: FreeSocialLogin(*event); break;
    case ZK_EVENT_SOCIAL_USERS: FreeSocialUsers(*event); break;
    default: break;
    }
}

// --- Entry points of the platform layer -----------------------------------------

static void QueueOrSend(zk_event_t* event) {
    if (zk_state.queue_input_events)
        ZKI_SendEventQueued(event);
    else
        ZKI_SendEvent(event);
}

void ZKI_SendKeyEvent(zk_event_type_t type, int key) {
    zk_event_t event = ZKI_MakeEvent(zk_key_event_t{type, key, 0});
    QueueOrSend(&event);
}

void ZKI_SendCharEvent(int c) {
    zk_event_t event = ZKI_MakeEvent(zk_char_event_t{ZK_EVENT_CHARACTER, static_cast<uint8_t>(c & 0xFF)});
    ZKI_SendEvent(&event);
}

void ZKI_SendMouseButtonEvent(zk_event_type_t type, int pointer, int button, float x, float y,
                              zk_pointer_type_t kind) {
    zk_button_event_t fields = {};
    fields.type = type;
    fields.pointer = static_cast<int8_t>(pointer);
    fields.x = ToInt(x);
    fields.y = ToInt(y);
    fields.button = static_cast<uint16_t>(button);
    fields.pointer_type = kind;
    zk_event_t event = ZKI_MakeEvent(fields);
    ZKI_SendMouseEvent(&event);
}

void ZKI_SendMouseMoveEvent(int pointer, float x, float y, zk_pointer_type_t kind) {
    zk_pointer_event_t fields = {};
    fields.type = ZK_EVENT_POINTER_MOVE;
    fields.pointer = static_cast<int8_t>(pointer);
    fields.x = ToInt(x);
    fields.y = ToInt(y);
    fields.pointer_type = kind;
    zk_event_t event = ZKI_MakeEvent(fields);
    ZKI_SendMouseEvent(&event);
}

void ZKI_SendMouseWheelEvent(zk_event_type_t type, int pointer, int delta, float x, float y) {
    zk_wheel_event_t fields = {};
    fields.type = type;
    fields.pointer = static_cast<int8_t>(pointer);
    fields.x = ToInt(x);
    fields.y = ToInt(y);
    fields.delta = static_cast<int16_t>(delta);
    fields.pointer_type = ZK_POINTER_MOUSE;
    zk_event_t event = ZKI_MakeEvent(fields);
    ZKI_SendMouseEvent(&event);
}

void ZKI_SendWindowCloseEvent() {
    zk_event_t event;
    ZKI_InitEvent(&event, ZK_EVENT_WINDOW_CLOSE);
    ZKI_SendEvent(&event);
    zk_state.shutdown_signalled = 1;
}

void ZKI_SendWindowActivationEvent(bool active) {
    if (zk_state.shutdown_signalled) return;
    zk_event_t event = ZKI_MakeEvent(zk_activation_event_t{ZK_EVENT_ACTIVATION, static_cast<uint8_t>(!active), {}});
    ZKI_SendEventQueued(&event);
    zk_state.app_active = active;
}

// Pointer moves, wheels and buttons share the index and position fields.
void ZKI_SendMouseEvent(zk_event_t* event) {
    if (!event) return;
    zk_pointer_event_t fields = ZKI_EventAs<zk_pointer_event_t>(*event);
    if (!IsPointerIndex(fields.pointer)) return;
    int x = fields.x, y = fields.y;
    ZKI_ConvertMouseEventCursorPositionToVirtualScreenSpace(&x, &y);
    fields.x = x;
    fields.y = y;
    ZKI_EventSet(*event, fields);
    QueueOrSend(event);
}

void ZKI_ConvertMouseEventCursorPositionToVirtualScreenSpace(int* x, int* y) {
    if (zk_state.autoscale) {
        *x = ToInt(static_cast<float>(ToInt(*x - zk_state.autoscale_offset_x)) * zk_state.autoscale_inverse_scale_x);
        *y = ToInt(static_cast<float>(ToInt(*y - zk_state.autoscale_offset_y)) * zk_state.autoscale_inverse_scale_y);
    }
    float zoom = zk_state.overlay_zoom;
    if (fabsf(zoom - 1.0f) >= 1e-6f) {
        *x = ToInt(static_cast<float>(*x - zk_state.overlay_offset_x) / zoom);
        *y = ToInt(static_cast<float>(*y - zk_state.overlay_offset_y) / zoom);
    }
}

// --- Gamepads and keyboard state ---------------------------------------------------

void ZKI_SetGamepadButtonState(int key, bool down) {
    if (!IsKeyCode(key)) return;
    int state = zk_state.key_states_i[key];
    zk_event_type_t type;
    if (state == 0 && down)
        type = ZK_EVENT_KEY_DOWN;
    else if (state != 0 && !down)
        type = ZK_EVENT_KEY_UP;
    else
        return;
    zk_event_t event = ZKI_MakeEvent(zk_key_event_t{type, key, 0});
    ZKI_SendEventQueued(&event);
}

void ZKI_SetGamepadButtonFloat(int key, float value) { ZK_SetKeyStatef(key, value); }

void ZKI_ClearGamepadState(int pad, bool connected) {
    if (pad < 0) return;
    int first = ZK_KEY_GAMEPAD_BLOCK + ZK_KEY_GAMEPAD_BLOCK_SIZE * pad;
    if (!IsKeyCode(first)) return;
    zk_state.key_states_i[first] = connected ? 1 : 0;
    // The last pads' blocks run past the tables' end; their keys stop there.
    for (int offset = 1; offset <= ZK_KEY_GAMEPAD_LAST && IsKeyCode(first + offset); ++offset) {
        if (offset == ZK_KEY_GAMEPAD_KEPT) continue;
        zk_state.key_states_i[first + offset] = 0;
        zk_state.key_states_f[first + offset] = 0.0f;
    }
}

void ZKI_TrimGamepadVector(vec2_t& v, float deadzone) {
    float length = sqrtf(v.x * v.x + v.y * v.y);
    float m = length < 1.0f ? length : 1.0f;
    // A dead zone of 1 or more leaves no live range (its rescale would be 0/0).
    if (deadzone > m || deadzone >= 1.0f) {
        v.x = v.y = 0.0f;
        return;
    }
    if (length == 0.0f) return;
    float scale = (m - deadzone) / (1.0f - deadzone) / length;
    v.x *= scale;
    v.y *= scale;
}

void ZKI_ResetKeyboardKeyStates() {
    for (int key = 0; key < 256; ++key) zk_state.key_states_i[key] = 0;
    for (int key = 510; key <= 517; ++key) zk_state.key_states_i[key] = 0;
}

bool ZKI_IsValidNullTerminatedString(const char* text, int max) {
    if (!text) return false;
    if (max >= 1 && strnlen(text, static_cast<size_t>(max)) == static_cast<size_t>(max)) return false;
    return text[0] != '\0';
}

int ZKI_ValidateLeaderboardsEvent(zk_event_t* event) {
    if (!event || event->type != ZK_EVENT_LEADERBOARD_SCORES) return 0;
    zk_leaderboard_scores_event_t scores = ZKI_EventAs<zk_leaderboard_scores_event_t>(*event);
    if (scores.success != 1) return 0;
    if (!zk || !zk->leaderboards || !zk->leaderboards->ZK_GetLeaderboardCategorySortOrder) return 0;
    return zk->leaderboards->ZK_GetLeaderboardCategorySortOrder(scores.category);
}

void ZKI_ClearKeyStates() {
    // Codes 255, 800, 864, 928 and 992 keep their values.
    static const int kRanges[][2] = {{0, 254}, {801, 863}, {865, 927}, {929, 991}, {993, 1055}};
    for (const auto& range : kRanges) {
        for (int code = range[0]; code <= range[1]; ++code) zk->ZK_SetKeyStatei(code, 0);
    }
}
