// The texts of the image formats' messages and the one place that formats
// and hands them to the caller's sink.
#pragma once

#include "engine/imageformats/image_formats.h"

// Formats the message of id (its text for the given zk_pixel_byte_order_t)
// with the arguments that text takes, and hands it to the sink, if any.
void ZKI_ReportImageMessage(const zk_image_messages_t* messages, zk_image_message_id_t id, int order, ...);
