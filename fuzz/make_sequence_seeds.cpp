// Writes the seed inputs of the bitmap sequence fuzz target into the
// directory given: small sequence files of both chunk forms and both atlas
// encodings, each behind the byte that picks the target's options.
#include <cstdio>
#include <fstream>
#include <string>

#include "engine/bitmaps/tests/sequence_file_writer.h"

using namespace sequence_test;

namespace {

void Seed(const std::string& directory, const std::string& name, uint8_t selector, const Bytes& file) {
    Bytes input = {selector};
    input.insert(input.end(), file.begin(), file.end());
    std::ofstream out(directory + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(input.data()), std::streamsize(input.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: make_sequence_seeds <seeds>\n");
        return 1;
    }
    std::string seeds = argv[1];
    std::vector<FrameRecord> records = {{2, 2, 0, 30.0f, {0, 0, 0.5f, 1}}, {2, 2, 1, 30.0f, {0.5f, 0, 1, 1}},
                                        {2, 2, 2, 30.0f, {0, 0, 0.5f, 1}}};
    Seed(seeds, "atlas-rle", 0, AtlasFile(records, "RLE", RleBitmap(4, 2, Pixels(4, 2, 0))));
    Seed(seeds, "atlas-png", 1, AtlasFile(records, "PNG", {3, 0, 0, 0, 1, 2, 3}));
    Seed(seeds, "frames", 2, FrameFile({{3, 2, 0, 30.0f, 0}, {3, 2, 1, 30.0f, 0}, {1, 4, 7, 12.0f, 5}}));
    Seed(seeds, "frames-packed", 3, FrameFile({{2, 2, 0, 30.0f, 1}, {2, 2, 1, 30.0f, 2}}));
    return 0;
}
