// Decoding a 2048x2048 32-bit uncompressed TGA beside copying the same
// bytes into a fresh block (the goal: within 3 times the copy), with 24-bit,
// run-length TGA and the run-length bitmap reported beside it.
// Run: build-release/bench/image_formats_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/imageformats/image_formats.h"

namespace {

const int side = 2048;

using Bytes = std::vector<uint8_t>;

Bytes TgaHeader(int type, int bits) {
    return {0, 0, uint8_t(type), 0, 0, 0, 0, 0, 0, 0, 0, 0, side & 0xFF, side >> 8, side & 0xFF, side >> 8,
            uint8_t(bits), 0x20};
}

// A picture-like pattern: runs of equal pixels of varying length.
uint8_t Channel(int i, int c) { return uint8_t((i / (1 + i % 7)) * (c + 1)); }

Bytes Uncompressed(int bits) {
    Bytes file = TgaHeader(2, bits);
    for (int i = 0; i < side * side; ++i) {
        for (int c = 0; c < bits / 8; ++c) file.push_back(Channel(i, c));
    }
    return file;
}

// Packets of 1 to 8 equal pixels, then 4 literal ones, in turn.
Bytes RunLength() {
    Bytes file = TgaHeader(10, 32);
    for (int i = 0; i < side * side;) {
        int repeat = 1 + (i / 9) % 8, literal = 4;
        repeat = std::min(repeat, side * side - i);
        file.push_back(uint8_t(0x80 | (repeat - 1)));
        for (int c = 0; c < 4; ++c) file.push_back(Channel(i, c));
        i += repeat;
        literal = std::min(literal, side * side - i);
        if (literal <= 0) break;
        file.push_back(uint8_t(literal - 1));
        for (int k = 0; k < literal; ++k, ++i) {
            for (int c = 0; c < 4; ++c) file.push_back(Channel(i, c));
        }
    }
    return file;
}

Bytes RleBitmap() {
    Bytes file = {side & 0xFF, side >> 8, 0, 0, side & 0xFF, side >> 8, 0, 0};
    for (int i = 0; i < side * side;) {
        int count = std::min(1 + (i / 5) % 12, side * side - i);
        file.push_back(uint8_t(count));
        for (int c = 0; c < 4; ++c) file.push_back(Channel(i, c));
        i += count;
    }
    return file;
}

void DecodeTga(benchmark::State& state, const Bytes& file, zk_pixel_byte_order_t order) {
    for (auto _ : state) {
        zk_image_t image;
        if (!ZKI_DecodeTGA(file.data(), file.size(), order, &image, nullptr)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.pixels);
        free(image.pixels);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * side * side * 4);
}

void Tga32(benchmark::State& state) {
    static const Bytes file = Uncompressed(32);
    DecodeTga(state, file, zk_pixel_byte_order_t(state.range(0)));
}

void Tga24(benchmark::State& state) {
    static const Bytes file = Uncompressed(24);
    DecodeTga(state, file, ZK_PIXELS_RGBA);
}

void TgaRunLength(benchmark::State& state) {
    static const Bytes file = RunLength();
    DecodeTga(state, file, ZK_PIXELS_RGBA);
}

// The same 16 MiB as the 32-bit decode's pixels, copied into a fresh block.
void CopyIntoFreshBlock(benchmark::State& state) {
    static const Bytes file = Uncompressed(32);
    size_t bytes = size_t(side) * side * 4;
    for (auto _ : state) {
        void* block = malloc(bytes);
        memcpy(block, file.data() + 18, bytes);
        benchmark::DoNotOptimize(block);
        free(block);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

struct Memory {
    const Bytes* bytes;
    size_t at;
};

size_t ReadMemory(void* context, void* buffer, size_t size) {
    Memory* memory = static_cast<Memory*>(context);
    size_t n = std::min(size, memory->bytes->size() - memory->at);
    memcpy(buffer, memory->bytes->data() + memory->at, n);
    memory->at += n;
    return n;
}

void RunLengthBitmap(benchmark::State& state) {
    static const Bytes file = RleBitmap();
    for (auto _ : state) {
        Memory memory = {&file, 0};
        zk_image_t image;
        if (!ZKI_DecodeRLEBitmap({ReadMemory, &memory}, ZK_PIXELS_RGBA, &image, nullptr)) state.SkipWithError("failed");
        benchmark::DoNotOptimize(image.pixels);
        free(image.pixels);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * side * side * 4);
}

}  // namespace

BENCHMARK(CopyIntoFreshBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(Tga32)->Arg(ZK_PIXELS_RGBA)->Arg(ZK_PIXELS_BGRA)->Unit(benchmark::kMillisecond);
BENCHMARK(Tga24)->Unit(benchmark::kMillisecond);
BENCHMARK(TgaRunLength)->Unit(benchmark::kMillisecond);
BENCHMARK(RunLengthBitmap)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
