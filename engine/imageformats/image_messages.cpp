#include "engine/imageformats/image_messages.h"

#include <cstdarg>
#include <cstdio>

namespace {

struct MessageText {
    zk_image_message_id_t id;
    int type;
    const char* rgba_text;  // the text when pixels lie as R, G, B, A
    const char* bgra_text;  // and as B, G, R, A
};

// In the order of zk_image_message_id_t. The overrun texts differ by the
// pixel byte order so that a report tells which decoding path ran.
const MessageText kMessageTexts[] = {
    {ZK_IMAGE_TGA_OVERRUN_REPEATED, ZK_IMAGE_ERROR, "TGA buffer overrun #1: (%d)\n", "TGA buffer overrun #3: (%d)\n"},
    {ZK_IMAGE_TGA_OVERRUN_LITERAL, ZK_IMAGE_ERROR, "TGA buffer overrun #2: (%d)\n", "TGA buffer overrun #4: (%d)\n"},
    {ZK_IMAGE_TGA_SHORT_HEADER, ZK_IMAGE_ERROR, "TGA data of %llu bytes ends inside its %llu-byte header.\n", nullptr},
    {ZK_IMAGE_TGA_UNSUPPORTED, ZK_IMAGE_WARNING,
     "TGA image not supported: colour-map type %d, image type %d, %d bits per pixel.\n", nullptr},
    {ZK_IMAGE_TGA_SHORT_PIXELS, ZK_IMAGE_ERROR, "TGA data ends before the last of its %dx%d pixels.\n", nullptr},
    {ZK_IMAGE_TGA_TOO_LARGE_TO_WRITE, ZK_IMAGE_ERROR,
     "TGA image of %dx%d pixels cannot be written: its sides must be 0 to 65535.\n", nullptr},
    {ZK_IMAGE_RLE_TOO_LARGE, ZK_IMAGE_ERROR, "Run-length bitmap of %lldx%lld pixels refused: its sides must be 0 to 65535.\n",
     nullptr},
    {ZK_IMAGE_RLE_SHORT_HEADER, ZK_IMAGE_ERROR, "Run-length bitmap ends inside its width and height.\n", nullptr},
    {ZK_IMAGE_RLE_SHORT, ZK_IMAGE_ERROR, "Run-length bitmap ends after %llu of its %llu pixels.\n", nullptr},
    {ZK_IMAGE_NO_MEMORY, ZK_IMAGE_ERROR, "Not enough memory for an image of %dx%d pixels.\n", nullptr},
    {ZK_IMAGE_WRITE_FAILED, ZK_IMAGE_ERROR, "Writing an image of %dx%d pixels failed.\n", nullptr},
};

}  // namespace

void ZKI_ReportImageMessage(const zk_image_messages_t* messages, zk_image_message_id_t id, int order, ...) {
    if (!messages || !messages->report) return;
    const MessageText& message = kMessageTexts[id];
    const char* format = order == ZK_PIXELS_BGRA && message.bgra_text ? message.bgra_text : message.rgba_text;
    char text[256];
    va_list args;
    va_start(args, order);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    messages->report(messages->context, id, message.type, text);
}

static_assert(sizeof kMessageTexts / sizeof kMessageTexts[0] == ZK_IMAGE_WRITE_FAILED + 1,
              "one text for every message");
