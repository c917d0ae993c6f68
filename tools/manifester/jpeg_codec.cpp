// JPEG through libjpeg: decoding from memory with a source of our own and a
// jump point for the library's errors, and encoding 3-byte pixels to a file.
//
// setjmp lives in one small function per library (Guarded) whose caller
// keeps all state in a record reached through a pointer, so nothing the
// steps change is lost when the library jumps back.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "tools/manifester/codecs.h"

namespace manifester {

namespace {

// What libjpeg may hold at once for one file: the coefficients of a
// progressive image are kept whole, 128 bytes a block. Set on every file,
// so that the JPEGMEM variable of the environment changes nothing.
const long jpeg_memory_bound = 256L << 20;
// How many blocks the scans of one decoded file may go over in all, each
// scan over every block of its components: about a second of work. An
// ordinary progressive file goes over each block about ten times, so the
// largest the memory bound lets in stays well below. Measuring reads no
// scan.
const long long jpeg_scan_work_bound = 1LL << 24;

struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    bool beyond_bounds;        // the error was the memory or the scan work bound
    std::string library_said;  // the library's texts, for the end of the decode
};

bool IsOutOfMemory(int code) { return code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE; }

// The library's texts are kept, one a line, to follow the file's name.
void KeepMessage(j_common_ptr cinfo) {
    JpegErrorManager* error = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    error->library_said += text;
    error->library_said += '\n';
}

// The library's message is kept (a bound reached has messages of its own),
// then control returns to the jump point.
void JpegErrorExit(j_common_ptr cinfo) {
    JpegErrorManager* error = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    if (IsOutOfMemory(error->pub.msg_code)) {
        error->beyond_bounds = true;
    } else {
        (*cinfo->err->output_message)(cinfo);
    }
    longjmp(error->jump, 1);
}

// Counts the blocks every scan goes over, once when the scan starts; past
// the bound, the decoding stops.
struct JpegScanWork {
    jpeg_progress_mgr pub;
    int scan;
    long long blocks;
};

void CountScanWork(j_common_ptr common) {
    j_decompress_ptr cinfo = reinterpret_cast<j_decompress_ptr>(common);
    JpegScanWork* work = reinterpret_cast<JpegScanWork*>(cinfo->progress);
    if (cinfo->input_scan_number == work->scan) return;
    work->scan = cinfo->input_scan_number;
    for (int i = 0; i < cinfo->comps_in_scan; ++i) {
        const jpeg_component_info* component = cinfo->cur_comp_info[i];
        work->blocks += (long long)component->width_in_blocks * component->height_in_blocks;
    }
    if (work->blocks > jpeg_scan_work_bound) {
        JpegErrorManager* error = reinterpret_cast<JpegErrorManager*>(cinfo->err);
        error->beyond_bounds = true;
        longjmp(error->jump, 1);
    }
}

// The source: the library's source manager, then the two bytes of a
// made-up end of image handed out whenever the data runs out. The data is
// either in memory, whole or only its first bytes, or read from a file
// through the reader's window.
struct JpegSource {
    jpeg_source_mgr pub;
    JOCTET fake_end[2];
    bool* needs_more;          // set when the data is only the file's first bytes
    zk_file_reader_t* file;    // null for data in memory
    uint64_t next_offset;      // in the file: where the bytes after the buffer start
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// Stops the decoding at once, without a message: the rest of the file is
// wanted, or its reading failed, and either way its caller says so.
[[noreturn]] void StopSilently(j_decompress_ptr cinfo) {
    longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

// Called only when the buffer is used up: from a file, the next window;
// at the end of the data, a warning of the premature end and an
// end-of-image marker, so that a cut file still ends cleanly. When the data
// is only the file's first bytes, running out of it means the rest must be
// read.
boolean FillInputBuffer(j_decompress_ptr cinfo) {
    JpegSource* source = reinterpret_cast<JpegSource*>(cinfo->src);
    if (source->file) {
        const uint8_t* bytes;
        size_t count = ZKI_FileBytesAt(source->file, source->next_offset, &bytes);
        if (source->file->failed) StopSilently(cinfo);
        if (count > 0) {
            source->pub.next_input_byte = bytes;
            source->pub.bytes_in_buffer = count;
            source->next_offset += count;
            return TRUE;
        }
    }
    if (source->needs_more) {
        *source->needs_more = true;
        StopSilently(cinfo);
    }
    WARNMS(cinfo, JWRN_JPEG_EOF);
    source->fake_end[0] = 0xFF;
    source->fake_end[1] = JPEG_EOI;
    source->pub.next_input_byte = source->fake_end;
    source->pub.bytes_in_buffer = 2;
    return TRUE;
}

// Skipping past the buffer: in a file, the window moves on to where the
// skip ends, and nothing between is read; past the end of the data lies a
// fresh end-of-image marker, so a long skip costs one fill, not one per
// two bytes.
void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    JpegSource* source = reinterpret_cast<JpegSource*>(cinfo->src);
    if (size_t(count) > source->pub.bytes_in_buffer) {
        if (source->file) {
            source->next_offset += uint64_t(count) - source->pub.bytes_in_buffer;
            source->pub.bytes_in_buffer = 0;
        }
        FillInputBuffer(cinfo);
        return;
    }
    source->pub.next_input_byte += count;
    source->pub.bytes_in_buffer -= size_t(count);
}

void AttachSource(j_decompress_ptr cinfo, const void* data, long size, bool* needs_more, zk_file_reader_t* file) {
    if (!cinfo->src) {
        cinfo->src = static_cast<jpeg_source_mgr*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(JpegSource)));
    }
    jpeg_source_mgr* source = cinfo->src;
    source->init_source = InitSource;
    source->fill_input_buffer = FillInputBuffer;
    source->skip_input_data = SkipInputData;
    source->resync_to_restart = jpeg_resync_to_restart;
    source->term_source = TermSource;
    source->next_input_byte = static_cast<const JOCTET*>(data);
    source->bytes_in_buffer = size > 0 ? size_t(size) : 0;
    reinterpret_cast<JpegSource*>(source)->needs_more = needs_more;
    reinterpret_cast<JpegSource*>(source)->file = file;
    reinterpret_cast<JpegSource*>(source)->next_offset = 0;
}

enum class Depth { Header, Size, Pixels };

struct JpegDecode {
    jpeg_decompress_struct cinfo;
    JpegErrorManager error;
    JpegScanWork scan_work;
    bool created = false;
    zk_bitmap_t* bitmap;
    const void* data;
    long size;
    Depth depth;
    bool* needs_more;
    zk_file_reader_t* reader;  // the data is read from a file when not null
    uint8_t* pixels = nullptr;
    bool refused = false;  // a refusal with its own message, not a library error
    zk_file_messages_t file;
};

const char* NameOf(const zk_bitmap_t* bitmap) { return bitmap->name ? bitmap->name : "(unnamed)"; }

bool Guarded(JpegDecode* d, void (*step)(JpegDecode*)) {
    if (setjmp(d->error.jump)) return false;
    step(d);
    return true;
}

void ReadHeader(JpegDecode* d) {
    jpeg_create_decompress(&d->cinfo);
    d->created = true;
    d->cinfo.mem->max_memory_to_use = jpeg_memory_bound;
    d->scan_work = JpegScanWork{};
    d->scan_work.pub.progress_monitor = CountScanWork;
    d->cinfo.progress = &d->scan_work.pub;
    AttachSource(&d->cinfo, d->data, d->size, d->needs_more, d->reader);
    jpeg_read_header(&d->cinfo, TRUE);
}

void RefuseAsTooLarge(JpegDecode* d) {
    d->refused = true;
    ZKI_NameFileOnce(&d->file);
    zk->Popupf(1, "Load JPG - JPEG out of memory while loading file\n");
}

void SetHeaderSize(JpegDecode* d) {
    d->bitmap->width = int32_t(d->cinfo.image_width);
    d->bitmap->height = int32_t(d->cinfo.image_height);
}

bool LargerThanDecoded(JDIMENSION width, JDIMENSION height) {
    return (long long)width * height > zk_max_decoded_pixels;
}

// Whether the image comes in more than one scan (every progressive file
// does): the start of a decode would then read every scan into the
// coefficient buffer before it returns.
bool HasSeveralScans(const jpeg_decompress_struct& cinfo) {
    return cinfo.progressive_mode || cinfo.comps_in_scan < cinfo.num_components;
}

// Measuring: the size decoding would learn. Decoding nothing, it takes the
// frame header's size when the decoder would refuse the file for its size,
// its colours or its bounds: those protect the decoding alone. A file of
// several scans is started in buffered-image mode, which sets everything
// up for the output size as the decoder's start does (the coefficient
// buffer within the memory bound among it) but stops before the first
// scan's data: the scans, nearly all of such a file, are neither read nor
// checked.
void Start(JpegDecode* d) {
    if (LargerThanDecoded(d->cinfo.image_width, d->cinfo.image_height)) {
        SetHeaderSize(d);
        return;
    }
    d->cinfo.buffered_image = HasSeveralScans(d->cinfo);
    jpeg_start_decompress(&d->cinfo);
    d->bitmap->width = int32_t(d->cinfo.output_width);
    d->bitmap->height = int32_t(d->cinfo.output_height);
}

// Decoding: the decoder's steps up to the pixel block: the size bound,
// start, the colour check and the pixel block. Grey and RGB come out as 1
// or 3 components; CMYK as 4. The bound is checked on the header's size
// before the start: for a progressive file the start reads every scan into
// a buffer for the whole image.
void StartAndAllocate(JpegDecode* d) {
    if (LargerThanDecoded(d->cinfo.image_width, d->cinfo.image_height)) {
        RefuseAsTooLarge(d);
        return;
    }
    jpeg_start_decompress(&d->cinfo);
    int components = d->cinfo.output_components;
    if (components != 1 && components != 3) {
        d->refused = true;
        zk->Popupf(1, "Load JPG - JPEG '%s' with %d colour components is not supported.\n", NameOf(d->bitmap),
                   components);
        return;
    }
    if (LargerThanDecoded(d->cinfo.output_width, d->cinfo.output_height) ||
        !(d->pixels = static_cast<uint8_t*>(malloc(size_t(d->cinfo.output_width) * d->cinfo.output_height * 4 + 1)))) {
        RefuseAsTooLarge(d);
        return;
    }
    d->bitmap->width = int32_t(d->cinfo.output_width);
    d->bitmap->height = int32_t(d->cinfo.output_height);
}

void ReadRows(JpegDecode* d) {
    jpeg_decompress_struct& cinfo = d->cinfo;
    int components = cinfo.output_components;
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * JDIMENSION(components), 1);
    int red = zk_state.pixel_byte_order == 1 ? 2 : 0;
    size_t width = cinfo.output_width;
    while (cinfo.output_scanline < cinfo.output_height) {
        jpeg_read_scanlines(&cinfo, row, 1);
        uint8_t* out = d->pixels + size_t(cinfo.output_scanline - 1) * width * 4;
        const JSAMPLE* in = row[0];
        for (size_t x = 0; x < width; ++x, in += components, out += 4) {
            out[red] = in[0];
            out[1] = in[components == 3 ? 1 : 0];
            out[2 - red] = in[components == 3 ? 2 : 0];
            out[3] = 255;
        }
    }
    jpeg_finish_decompress(&cinfo);
}

// A file beyond the memory or the scan work bound: measured from its
// header, refused when decoded.
bool BeyondBounds(JpegDecode* d) {
    if (d->depth == Depth::Size) {
        SetHeaderSize(d);
        return true;
    }
    d->refused = true;
    if (d->scan_work.blocks > jpeg_scan_work_bound) {
        zk->Popupf(1, "Load JPG - JPEG '%s' has too many scans for its size to decode.\n", NameOf(d->bitmap));
    } else {
        RefuseAsTooLarge(d);
    }
    return false;
}

// Runs the decoder to the given depth, over the data in memory or the file
// the reader reads. A library error reports failure_message; the size stays
// as far as it was learned.
bool Decode(zk_bitmap_t* bitmap, const void* data, long size, Depth depth, const char* failure_message,
            bool* needs_more = nullptr, zk_file_reader_t* reader = nullptr) {
    if (needs_more) *needs_more = false;
    ZKI_ClearDecodedImage(bitmap);
    bitmap->flags &= ~1u;
    JpegDecode* d = new JpegDecode;
    d->bitmap = bitmap;
    d->data = data;
    d->size = size;
    d->depth = depth;
    d->needs_more = needs_more;
    d->reader = reader;
    d->cinfo.err = jpeg_std_error(&d->error.pub);
    d->error.pub.error_exit = JpegErrorExit;
    d->error.pub.output_message = KeepMessage;
    d->error.beyond_bounds = false;
    d->file = {bitmap->name, false};
    bool any_data = reader ? reader->size > 0 : data && size > 0;
    bool ok = any_data && Guarded(d, ReadHeader);
    if (ok && depth == Depth::Header) SetHeaderSize(d);
    if (ok && depth == Depth::Size) {
        ZKI_ClearDecodedImage(bitmap);
        ok = Guarded(d, Start);
        if (!ok && d->error.beyond_bounds) ok = BeyondBounds(d);
    }
    if (ok && depth == Depth::Pixels) {
        ok = Guarded(d, StartAndAllocate) && !d->refused && Guarded(d, ReadRows);
        if (!ok && d->error.beyond_bounds) ok = BeyondBounds(d);
    }
    // When more data is all that is missing, the whole file says it all
    // again; a file whose reading failed is reported by the caller.
    bool stopped = (needs_more && *needs_more) || (reader && reader->failed);
    if (!d->error.library_said.empty() && !stopped) {
        ZKI_NameFileOnce(&d->file);
        zk->PrintDebugf(1, "%s", d->error.library_said.c_str());
    }
    if (!ok && !d->refused && !stopped) {
        ZKI_NameFileOnce(&d->file);
        zk->Popupf(1, "%s", failure_message);
    }
    long warnings = d->error.pub.num_warnings;
    zk_file_messages_t file = d->file;
    if (d->created) jpeg_destroy_decompress(&d->cinfo);
    if (ok && depth == Depth::Pixels) bitmap->pixels = reinterpret_cast<uint32_t*>(d->pixels);
    if (!ok) free(d->pixels);
    delete d;
    if (ok && warnings > 0) {
        ZKI_NameFileOnce(&file);
        if (depth == Depth::Header) {
            zk->Popupf(1, "WARNING: %d warnings while loading JPEG\n", int(warnings));
        } else {
            zk->PrintDebugf(1, "WARNING: %d warnings while loading JPEG\n", int(warnings));
        }
    }
    return ok;
}

struct JpegEncode {
    jpeg_compress_struct cinfo;
    JpegErrorManager error;
    bool created = false;
    FILE* stream;
    const unsigned char* rgb;
    int width, height, quality;
};

bool Guarded(JpegEncode* e, void (*step)(JpegEncode*)) {
    if (setjmp(e->error.jump)) return false;
    step(e);
    return true;
}

void Encode(JpegEncode* e) {
    jpeg_compress_struct& cinfo = e->cinfo;
    jpeg_create_compress(&cinfo);
    e->created = true;
    jpeg_stdio_dest(&cinfo, e->stream);
    cinfo.image_width = JDIMENSION(e->width);
    cinfo.image_height = JDIMENSION(e->height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, e->quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    size_t row_bytes = size_t(e->width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(e->rgb + size_t(cinfo.next_scanline) * row_bytes);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
}

}  // namespace

bool ZKI_GetImageDimensionsJPG(zk_bitmap_t* bitmap, const void* data, long size) {
    return Decode(bitmap, data, size, Depth::Header, "ZKI_GetImageDimensionsJPG - setjmp failed.\n");
}

bool ZKI_LoadBitmapMemJPG(zk_bitmap_t* bitmap, const void* data, long size) {
    return Decode(bitmap, data, size, Depth::Pixels, "Load JPG - setjmp failed.\n");
}

bool ZKI_MeasureJPG(zk_bitmap_t* bitmap, const void* data, long size, bool* needs_more) {
    return Decode(bitmap, data, size, Depth::Size, "Load JPG - setjmp failed.\n", needs_more);
}

bool ZKI_MeasureJPGFile(zk_bitmap_t* bitmap, zk_file_reader_t* reader) {
    return Decode(bitmap, nullptr, 0, Depth::Size, "Load JPG - setjmp failed.\n", nullptr, reader);
}

// A library error (a failed write among them) gives false instead of
// ending the program, and the file is only put in place when complete.
bool WriteJpegRGB(const char* path, const unsigned char* rgb, int width, int height, int quality) {
    zk_safe_file_t file;
    if (!rgb || !ZKI_OpenSafeFile(&file, path)) return false;
    JpegEncode* e = new JpegEncode;
    e->cinfo.err = jpeg_std_error(&e->error.pub);
    e->error.pub.error_exit = JpegErrorExit;
    e->stream = file.stream;
    e->rgb = rgb;
    e->width = width;
    e->height = height;
    e->quality = quality;
    bool ok = Guarded(e, Encode);
    if (e->created) jpeg_destroy_compress(&e->cinfo);
    delete e;
    return ZKI_CommitSafeFile(&file, !ok);
}

bool ZKI_WriteJPG(zk_bitmap_t* bitmap, const char* path, int quality) {
    if (!bitmap || !bitmap->pixels || bitmap->width <= 0 || bitmap->height <= 0) return false;
    size_t count = size_t(bitmap->width) * size_t(bitmap->height);
    unsigned char* rgb = static_cast<unsigned char*>(malloc(count * 3));
    if (!rgb) return false;
    const uint8_t* in = reinterpret_cast<const uint8_t*>(bitmap->pixels);
    int red = zk_state.pixel_byte_order == 1 ? 2 : 0;
    for (size_t i = 0; i < count; ++i, in += 4) {
        rgb[i * 3] = in[red];
        rgb[i * 3 + 1] = in[1];
        rgb[i * 3 + 2] = in[2 - red];
    }
    bool ok = WriteJpegRGB(path, rgb, bitmap->width, bitmap->height, quality);
    free(rgb);
    return ok;
}

}  // namespace manifester
