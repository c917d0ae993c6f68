// The console overlay: toggle, editing, history, completion and its hint,
// scrolling, the clipboard, and drawing over the running program.

#include "engine/console/console_overlay.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/base/constant_init.h"
#include "engine/base/nstring.h"
#include "engine/events/events.h"
#include "engine/runtime/log.h"
#include "engine/runtime/media_records.h"
#include "engine/runtime/state.h"

// The one console. Constant-initialised, it is valid and disabled from the
// first instruction, whatever order the translation units initialise in,
// so that a line printed before main finds it; it frees what it keeps at
// exit through its destructor.
ZK_CONSTANT_INITIALISED zkConsole zk_console;

namespace {

enum {
    kMaxEditLength = ZK_CONSOLE_EDIT_LINE_SIZE - 2,  // 510 characters typed
    kWheelNotch = 120,
    kPageLines = 10,
};

const char* const kPrefixMatchFormat = "|#ffaa55|%.*s|#ffffff|%s";
const char* const kContainedMatchFormat = "|#ffaa55|%s|#ffffff|";

bool OverlayAllowed(const zkConsole& console) { return console.enabled && zk_state.developer_mode; }

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (tolower(static_cast<unsigned char>(*text)) != tolower(static_cast<unsigned char>(*prefix))) return false;
    return true;
}

const char* CallExtension(const char* name, const char* value) {
    if (!zk || !zk->ZK_CallExtension) return nullptr;
    return zk->ZK_CallExtension(name, value);
}

}  // namespace

// --- Set-up and the events it sees first ---------------------------------------------

static bool IsConsoleToggle(const zkConsole& c, const zk_event_t& event) {
    int toggle = static_cast<int8_t>(c.toggle_key);
    if (event.type == ZK_EVENT_KEY_DOWN) return ZKI_EventAs<zk_key_event_t>(event).key == toggle;
    if (event.type == ZK_EVENT_CHARACTER) return ZKI_EventAs<zk_char_event_t>(event).character == toggle;
    return false;
}

// The toggle key opens or closes the overlay and goes no further; while the
// overlay is open it takes every event but console text first.
static bool SeeEventFirst(zk_event_t* event, int* result) {
    *result = 0;
    if (IsConsoleToggle(zk_console, *event)) {
        zk_console.Toggle();
        return true;
    }
    if (!zk_console.open || event->type == ZK_EVENT_CONSOLE_TEXT) return false;
    *result = zk_console.ProcessEvent(event);
    return *result != 0;
}

bool zkConsole::Init() {
    edit_line[0] = '\0';
    cursor = 0;
    blink_timer = 0.0f;
    zk_console_event_hook = SeeEventFirst;
    return zkConsoleLog::Init();
}

zkConsole::~zkConsole() {
    if (zk_console_event_hook == SeeEventFirst) zk_console_event_hook = nullptr;
    for (int i = 0; i < history.count; ++i) free(history.items[i]);
    history.count = 0;
    free(completion_hint);
    completion_hint = nullptr;
}

// --- Opening and sliding ---------------------------------------------------------

void zkConsole::Toggle() {
    control_held = 0;
    shift_held = 0;
    // The program record has no byte of its own for the open state: the
    // console's flag is the one the engine reads.
    open = OverlayAllowed(*this) ? !open : 0;
}

void zkConsole::Update(float dt) {
    if (!enabled) return;
    bool target = open || overlay;
    slide += (target ? 4.0f : -4.0f) * dt;
    if (slide < 0.0f) slide = 0.0f;
    if (slide > 1.0f) slide = 1.0f;
    blink_timer += dt;
    if (blink_timer > 1.0f) blink_timer -= 1.0f;
}

// --- The edit line ----------------------------------------------------------------

void zkConsole::SetEditLine(const char* text) {
    if (!text) {
        edit_line[0] = '\0';
        cursor = 0;
    } else {
        size_t length = strlen(text);
        if (length > kMaxEditLength) return;
        memcpy(edit_line, text, length + 1);
        cursor = static_cast<int32_t>(length);
    }
    OnLineTypedChanged(edit_line);
}

static void InsertAt(char* line, int at, char c) {
    size_t length = strlen(line);
    memmove(line + at + 1, line + at, length - at + 1);
    line[at] = c;
}

static void RemoveAt(char* line, int at) {
    size_t length = strlen(line);
    memmove(line + at, line + at + 1, length - at);
}

// --- Completion words and the hint --------------------------------------------------

// One listed word of the hint: the typed prefix, or every occurrence of the
// typed text, highlighted.
static void AppendHintEntry(nString& hint, const char* word, const char* text, bool prefix) {
    nString entry;
    if (prefix) {
        entry.SetFormatted(kPrefixMatchFormat, static_cast<int>(strlen(text)), word, word + strlen(text));
    } else {
        nString highlighted;
        highlighted.SetFormatted(kContainedMatchFormat, text);
        entry = nString(word);
        entry.Replace(text, highlighted.c_str());
    }
    hint.Append(entry.c_str());
    hint.Append(" ");
}

void zkConsole::OnLineTypedChanged(const char* text) {
    ZK_LockMutex(mutex);
    free(completion_hint);
    completion_hint = nullptr;
    if (text && *text) {
        size_t length = strlen(text);
        nString list;
        int matches = 0;
        const zk_console_word_t* explained = nullptr;
        for (int i = 0; i < words.count; ++i) {
            const zk_console_word_t& w = words.items[i];
            bool prefix = strlen(w.word) >= length && StartsWithIgnoringCase(w.word, text);
            bool contained = !prefix && length >= 3 && strstr(w.word, text);
            if (!prefix && !contained) continue;
            AppendHintEntry(list, w.word, text, prefix);
            ++matches;
            if (matches == 1 || strcmp(w.word, text) == 0) explained = &w;
        }
        if (matches > 1 && explained && strcmp(explained->word, text) != 0) explained = nullptr;
        if (matches > 0) {
            nString hint("Autocomplete (tab): ");
            hint.Append(list.c_str());
            if (explained && explained->extra && *explained->extra) {
                hint.Append("\n\n");
                hint.Append(explained->extra);
            }
            completion_hint = strdup(hint.c_str());
        }
    }
    ZK_UnlockMutex(mutex);
}

// --- Typing and submitting ----------------------------------------------------------

// The line typed is kept in the history and shown; a "#N" line scrolls so
// that line N is the newest shown, any other line goes to the program as a
// console-text event.
static void SubmitEditLine(zkConsole& c) {
    size_t length = strlen(c.edit_line);
    c.edit_line[length] = '\n';
    c.edit_line[length + 1] = '\0';
    c.AddString(ZK_MESSAGE_INFO, c.edit_line);
    c.edit_line[length] = '\0';
    if (c.draft_in_history && c.history.count > 0) {
        free(c.history.items[c.history.count - 1]);
        c.history.RemoveItemAtIndex(c.history.count - 1);
    }
    c.draft_in_history = 0;
    c.history.InsertLast(strdup(c.edit_line));
    c.history_position = c.history.count;
    if (c.edit_line[0] == '#') {
        c.scroll_offset = c.lines.count - atoi(c.edit_line + 1);
        free(c.history.items[c.history.count - 1]);
        c.history.RemoveItemAtIndex(c.history.count - 1);
    } else {
        zk_event_t event = ZKI_MakeEvent(zk_console_text_event_t{ZK_EVENT_CONSOLE_TEXT, c.edit_line});
        ZKI_SendEvent(&event);
    }
    c.edit_line[0] = '\0';
    c.cursor = 0;
    c.OnLineTypedChanged(c.edit_line);
}

static void TypeCharacter(zkConsole& c, char character) {
    if (character == '\b') {
        if (c.cursor > 0) RemoveAt(c.edit_line, --c.cursor);
    } else if (character >= ' ' && strlen(c.edit_line) < kMaxEditLength) {
        // Control characters and bytes above 127 (negative as char) are not typed.
        InsertAt(c.edit_line, c.cursor++, character);
    }
    c.OnLineTypedChanged(c.edit_line);
}

// --- History --------------------------------------------------------------------------

static void TakeHistoryEntry(zkConsole& c, int index) {
    const char* entry = c.history.items[index];
    if (strlen(entry) > kMaxEditLength) return;
    c.SetEditLine(entry);
}

static void WalkHistoryDown(zkConsole& c) {
    if (c.history_position >= c.history.count) return;
    TakeHistoryEntry(c, c.history_position);
    c.history_position = (c.history_position + 1) % c.history.count;
}

static void WalkHistoryUp(zkConsole& c) {
    if (!c.draft_in_history) {
        // The line being typed is kept as the draft, to come back to.
        c.history.InsertLast(strdup(c.edit_line));
        c.draft_in_history = 1;
        if (c.history_position > 0) --c.history_position;
    }
    if (c.history_position >= c.history.count) c.history_position = c.history.count - 1;
    TakeHistoryEntry(c, c.history_position);
    if (c.history_position > 0) c.history_position = (c.history_position - 1) % c.history.count;
}

// --- Clipboard ---------------------------------------------------------------------------

static void CopyToClipboard(zkConsole& c) {
    if (c.edit_line[0]) {
        CallExtension("Clipboard_SetText", c.edit_line);
        return;
    }
    nString all;
    ZK_LockMutex(c.mutex);
    for (int i = 0; i < c.lines.count; ++i) all.Append(c.lines.items[i].text);
    ZK_UnlockMutex(c.mutex);
    CallExtension("Clipboard_SetText", all.c_str());
}

static void PasteFromClipboard(zkConsole& c) {
    const char* text = CallExtension("Clipboard_GetText", nullptr);
    if (!text) return;
    for (; *text && *text != '\n' && *text != '\r' && c.cursor < kMaxEditLength; ++text) {
        if (strlen(c.edit_line) >= kMaxEditLength) break;
        InsertAt(c.edit_line, c.cursor++, *text);
    }
    c.OnLineTypedChanged(c.edit_line);
}

// --- Keys ------------------------------------------------------------------------------------

// Editing and scrolling keys that act with or without control.
static void EditWithKey(zkConsole& c, int key) {
    int length = static_cast<int>(strlen(c.edit_line));
    switch (key) {
    case ZK_KEY_TAB: {
        if (static_cast<int8_t>(c.toggle_key) == ZK_KEY_TAB) break;
        const char* completion = c.GetAutoCompletionForString(c.edit_line);
        if (completion && strlen(completion) < kMaxEditLength + 1) c.SetEditLine(completion);
        break;
    }
    case ZK_KEY_SHIFT: c.shift_held = 1; break;
    case ZK_KEY_CONTROL: c.control_held = 1; break;
    case ZK_KEY_PAGE_UP: c.scroll_offset += kPageLines; break;
    case ZK_KEY_PAGE_DOWN: c.scroll_offset -= kPageLines; break;
    case ZK_KEY_END:
        c.cursor = length;
        if (c.control_held) c.scroll_offset = 0;
        break;
    case ZK_KEY_HOME:
        c.cursor = 0;
        if (c.control_held) c.scroll_offset = c.lines.count;
        break;
    case ZK_KEY_LEFT:
        if (c.cursor > 0) --c.cursor;
        break;
    case ZK_KEY_RIGHT:
        if (c.cursor < length) ++c.cursor;
        break;
    case ZK_KEY_DELETE:
        if (c.cursor < length) {
            RemoveAt(c.edit_line, c.cursor);
            c.OnLineTypedChanged(c.edit_line);
        }
        break;
    default: break;
    }
}

// Non-zero when the key down is consumed.
static int KeyDown(zkConsole& c, int key) {
    EditWithKey(c, key);
    if (!c.control_held) {
        // Up and down walk the history and still reach the program.
        if (c.history.count > 0 && key == ZK_KEY_UP) WalkHistoryUp(c);
        if (c.history.count > 0 && key == ZK_KEY_DOWN) WalkHistoryDown(c);
        return 0;
    }
    if (key == ZK_KEY_UP) c.scroll_offset += 1;
    if (key == ZK_KEY_DOWN) c.scroll_offset -= 1;
    if (key == 'C') CopyToClipboard(c);
    if (key == 'V') PasteFromClipboard(c);
    return 1;
}

static void KeyUp(zkConsole& c, int key) {
    if (key == ZK_KEY_SHIFT) c.shift_held = 0;
    if (key == ZK_KEY_CONTROL) c.control_held = 0;
}

int zkConsole::ProcessEvent(zk_event_t* event) {
    if (!event || !OverlayAllowed(*this)) return 0;
    switch (event->type) {
    case ZK_EVENT_CHARACTER: {
        char character = static_cast<char>(ZKI_EventAs<zk_char_event_t>(*event).character);
        if (character == '\r')
            SubmitEditLine(*this);
        else
            TypeCharacter(*this, character);
        return 1;
    }
    case ZK_EVENT_WHEEL:
        scroll_offset += ZKI_EventAs<zk_wheel_event_t>(*event).delta / kWheelNotch;
        return 1;
    case ZK_EVENT_POINTER_DOWN: {
        zk_button_event_t button = ZKI_EventAs<zk_button_event_t>(*event);
        zk_console_line_t* line =
            GetLineAtScreenPosition(vec2_t{static_cast<float>(button.x), static_cast<float>(button.y)});
        if (line) CallExtension("Clipboard_SetText", line->text);
        return 1;
    }
    case ZK_EVENT_POINTER_MOVE:
    case ZK_EVENT_POINTER_UP: return 1;
    case ZK_EVENT_KEY_UP: KeyUp(*this, ZKI_EventAs<zk_key_event_t>(*event).key); return 0;
    case ZK_EVENT_KEY_DOWN: return KeyDown(*this, ZKI_EventAs<zk_key_event_t>(*event).key);
    default: return 0;
    }
}

// --- Lines on the screen ------------------------------------------------------------------------

// The font's line spacing; 16 until the font is loaded.
static float LineStep(const zkConsole& c) {
    if (c.font && c.font->line_spacing > 0) return static_cast<float>(c.font->line_spacing);
    return 16.0f;
}

// Whether a kept line is shown: all are, unless the edit line holds a
// search text that the line does not contain.
static bool IsLineShown(const zkConsole& c, const zk_console_line_t& line) {
    return !c.edit_line[0] || (line.text && StringContainsStringIncaseSensitive(line.text, c.edit_line));
}

zk_console_line_t* zkConsole::GetLineAtScreenPosition(vec2_t position) {
    if (!enabled || slide < 0.99f) return nullptr;
    float step = LineStep(*this);
    float y = 0.8f * static_cast<float>(zk_parms.height) - 2.0f * step - 2.0f;
    zk_console_line_t* found = nullptr;
    ZK_LockMutex(mutex);
    for (int i = lines.count - 1 - scroll_offset; i >= 0 && i < lines.count && !found; --i) {
        if (!IsLineShown(*this, lines.items[i])) continue;
        if (y < position.y && position.y < y + step) found = &lines.items[i];
        y -= step;
    }
    ZK_UnlockMutex(mutex);
    return found;
}

// --- Drawing --------------------------------------------------------------------------------------

namespace {

const char* const kConsoleFontName = "core/console.mft";
const char* const kSearchHighlightFormat = "|#1199ff|%s|#ffffff|";
const float kPi = 3.14159265358979f;
const int kLineTextLimit = 512;
const int kScrollGripWidth = 58;

// The sizes of one drawing of the overlay.
struct OverlayLayout {
    float width, height;    // the program's screen
    float alpha;            // slide factor
    float console_height;   // C
    int text_height;        // T
    int font_height;        // h
    int rows;               // R
    int shown_lines;        // N
    float line_step;
};

void SetColor(zk_graphics_api_t* g, float r, float gr, float b, float a) { g->ZK_Graphics_SetColorWithAlpha(r, gr, b, a); }

void Rect(zk_graphics_api_t* g, float x, float y, float w, float h) { g->ZK_Graphics_DrawRect(x, y, w, h); }

void LineColor(zk_graphics_api_t* g, int type, float alpha) {
    switch (type) {
    case ZK_MESSAGE_WARNING: SetColor(g, 1, 1, 0, alpha); break;
    case ZK_MESSAGE_ERROR: SetColor(g, 1, 0, 0, alpha); break;
    case ZK_MESSAGE_SYSTEM: SetColor(g, 0, 1, 0, alpha); break;
    default: SetColor(g, 1, 1, 1, alpha); break;
    }
}

}  // namespace

static void LoadConsoleFont(zkConsole& c, zk_graphics_api_t* g) {
    if (c.font) return;
    c.font = g->ZK_Graphics_LoadFont(kConsoleFontName);
    if (!c.font || c.font->num_glyphs <= 0) c.font = &zk_state.fonts[0];
}

static int CountShownLines(const zkConsole& c) {
    if (!c.edit_line[0]) return c.lines.count;
    int shown = 0;
    for (int i = 0; i < c.lines.count; ++i)
        if (IsLineShown(c, c.lines.items[i])) ++shown;
    return shown;
}

static OverlayLayout MeasureOverlay(const zkConsole& c) {
    OverlayLayout l;
    l.width = static_cast<float>(zk_parms.width);
    l.height = static_cast<float>(zk_parms.height);
    l.alpha = sinf(c.slide * kPi * 0.5f);
    if (c.overlay) l.alpha *= 0.5f;
    l.font_height = c.font->height ? c.font->height : 16;
    l.line_step = LineStep(c);
    int full = static_cast<int>(0.8f * l.height);
    l.console_height = static_cast<float>(full) * l.alpha;
    l.text_height = static_cast<int>(static_cast<float>(full - 2 - l.font_height) * l.alpha);
    l.rows = l.text_height / l.font_height;
    l.shown_lines = CountShownLines(c);
    return l;
}

// Dragging along the right edge scrolls; the offset stays within the lines.
static void ScrollWithPointer(zkConsole& c, const OverlayLayout& l) {
    bool dragging = zk_state.key_states_i[ZK_KEY_MOUSE_LEFT] &&
                    static_cast<float>(zk_state.key_states_i[ZK_KEY_POINTER0_X]) >= l.width - kScrollGripWidth;
    if (dragging && l.text_height > 0) {
        float y = static_cast<float>(zk_state.key_states_i[ZK_KEY_POINTER0_Y]);
        c.scroll_offset = static_cast<int32_t>((1.0f - y / static_cast<float>(l.text_height)) * l.shown_lines);
    }
    int most = l.shown_lines - l.rows;
    if (most < 0) most = 0;
    if (c.scroll_offset > most) c.scroll_offset = most;
    if (c.scroll_offset < 0) c.scroll_offset = 0;
}

static void DrawBackground(const zkConsole& c, zk_graphics_api_t* g, const OverlayLayout& l) {
    g->ZK_Graphics_SetBlend(1);
    SetColor(g, 0.2f, 0.3f, 0.5f, 0.6f * l.alpha);
    Rect(g, 0, 0, l.width, l.console_height);
    if (c.completion_hint) {
        SetColor(g, 0, 0, 0, 0.6f * l.alpha);
        Rect(g, 0, l.console_height, l.width, l.height - l.console_height);
    }
}

static void DrawScrollBar(const zkConsole& c, zk_graphics_api_t* g, const OverlayLayout& l) {
    float track = static_cast<float>(l.text_height);
    SetColor(g, 0.2f, 0.3f, 0.5f, 0.9f * l.alpha);
    Rect(g, l.width - 8, 0, 8, track);
    SetColor(g, 1, 1, 1, l.alpha);
    Rect(g, 0, l.console_height, l.width, 2);
    Rect(g, l.width - 9, 0, 1, track);
    if (l.shown_lines <= 0) return;
    float n = static_cast<float>(l.shown_lines);
    float share = static_cast<float>(l.rows) / n;
    if (share > 1.0f) share = 1.0f;
    float top = (n - static_cast<float>(c.scroll_offset + l.rows)) / n;
    if (top < 0.0f) top = 0.0f;
    SetColor(g, 0.5f, 0.6f, 0.9f, l.alpha);
    Rect(g, l.width - 7, top * track, 7, share * track);
}

static void DrawEditLine(const zkConsole& c, zk_graphics_api_t* g, const OverlayLayout& l) {
    float y = l.console_height - l.line_step;
    SetColor(g, 1, 1, 1, l.alpha);
    g->ZK_Graphics_DrawTextf(c.font, 10, y, "%s", c.edit_line);
    if (c.completion_hint) {
        SetColor(g, 1, 1, 1, 0.95f * l.alpha);
        g->ZK_Graphics_SetTextboxWidth(l.width - 20);
        g->ZK_Graphics_DrawTextf(c.font, 10, l.console_height + 4, "%s", c.completion_hint);
        g->ZK_Graphics_SetTextboxWidth(0);
    }
    float typed = g->ZK_Graphics_GetTextWidthf(c.font, "%.*s", static_cast<int>(c.cursor), c.edit_line);
    SetColor(g, 1, 1, 1, (1.0f - c.blink_timer) * l.alpha);
    Rect(g, 10 + typed, y, 2, static_cast<float>(l.font_height));
    SetColor(g, 1, 1, 1, 0.75f * l.alpha);
    Rect(g, 0, y - 1, l.width - 9, 1);
}

static void DrawLine(const zkConsole& c, zk_graphics_api_t* g, const zk_console_line_t& line, float y, float alpha) {
    const char* thread = line.thread_name ? line.thread_name : "";
    LineColor(g, line.type, alpha);
    g->ZK_Graphics_SetTextTransform(0.9f, 0.9f, 0.0f);
    g->ZK_Graphics_DrawTextf(c.font, 10, y, "#%.4d: ", line.number);
    g->ZK_Graphics_DrawTextf(c.font, 60, y, "[%.2d:%.2d]", line.time.hour, line.time.minute);
    g->ZK_Graphics_DrawTextf(c.font, 110, y, "[%s]>", thread);
    float x = truncf(g->ZK_Graphics_GetTextWidthf(c.font, "[%s]>", thread) * 0.9f) + 120;
    g->ZK_Graphics_SetTextTransform(1.0f, 1.0f, 0.0f);
    const char* text = line.text ? line.text : "";
    char highlighted[kLineTextLimit];
    if (c.edit_line[0] && strlen(text) < kLineTextLimit) {
        char mark[kLineTextLimit + 32];
        snprintf(mark, sizeof(mark), kSearchHighlightFormat, c.edit_line);
        if (nStringReplace(text, c.edit_line, mark, highlighted, kLineTextLimit)) text = highlighted;
    }
    g->ZK_Graphics_DrawTextf(c.font, x, y, "%s", text);
}

static void DrawLines(const zkConsole& c, zk_graphics_api_t* g, const OverlayLayout& l) {
    float y = l.console_height - 2.0f * l.line_step - 2.0f;
    for (int i = c.lines.count - 1 - c.scroll_offset; i >= 0 && i < c.lines.count && y >= 0.0f; --i) {
        if (!IsLineShown(c, c.lines.items[i])) continue;
        DrawLine(c, g, c.lines.items[i], y, l.alpha);
        y -= l.line_step;
    }
}

void zkConsole::Draw() {
    if (!OverlayAllowed(*this) || slide <= 0.0f || !zk || !zk->graphics) return;
    zk_graphics_api_t* g = zk->graphics;
    LoadConsoleFont(*this, g);
    g->ZK_Graphics_SetTextAlign(0u);
    g->ZK_Graphics_SetTextboxWidth(0.0f);
    g->ZK_Graphics_SetTextTransform(1.0f, 1.0f, 0.0f);
    g->ZK_Graphics_SetColor(1.0f, 1.0f, 1.0f);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_PRINT);
    ZK_LockMutex(mutex);
    OverlayLayout layout = MeasureOverlay(*this);
    ScrollWithPointer(*this, layout);
    DrawBackground(*this, g, layout);
    DrawScrollBar(*this, g, layout);
    DrawEditLine(*this, g, layout);
    DrawLines(*this, g, layout);
    ZK_UnlockMutex(mutex);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_PRINT);
}
