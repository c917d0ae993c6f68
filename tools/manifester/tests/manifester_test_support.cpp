#include "tools/manifester/tests/manifester_test_support.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace manifester_test {

std::vector<Printed>& Recorded() {
    static std::vector<Printed> printed;
    return printed;
}

std::string RecordedText() {
    std::string all;
    for (const Printed& p : Recorded()) all += p.text;
    return all;
}

static int Record(const char* kind, const char* format, va_list args) {
    char text[4096];
    int count = vsnprintf(text, sizeof text, format, args);
    Recorded().push_back({kind, text});
    return count;
}

static int RecordPrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = Record("print", format, args);
    va_end(args);
    return count;
}

static int RecordDebug(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = Record("debug", format, args);
    va_end(args);
    return count;
}

static int RecordPopup(int, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int count = Record("popup", format, args);
    va_end(args);
    return count;
}

void ManifesterTest::SetUp() {
    ZKI_SetBasicInterface();
    zk->Printf = RecordPrint;
    zk->PrintDebugf = RecordDebug;
    zk->Popupf = RecordPopup;
    Recorded().clear();
}

HeapCopy::HeapCopy(const Bytes& bytes) : block(malloc(bytes.empty() ? 1 : bytes.size())), length(long(bytes.size())) {
    if (!bytes.empty()) memcpy(block, bytes.data(), bytes.size());
}

HeapCopy::~HeapCopy() { free(block); }

}  // namespace manifester_test
