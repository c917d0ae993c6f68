// HTTP files: cache names, the request operations of this system, and
// downloads through a faked request into the cache and out of it.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/runtime/interface_functions.h"
#include "engine/runtime/zekar.h"
#include "engine/storage/http_system.h"
#include "engine/storage/posix_system.h"
#include "engine/storage/tests/storage_test_support.h"

using namespace ZKFileSystem;
using namespace storage_test;

namespace {

std::string CacheName(const char* url) { return GetHTTPCacheFilePath(url, false).c_str(); }

TEST(HTTPCacheNames, ReadableURLAfterAHashOfTheWholeURL) {
    struct Case {
        const char* url;
        const char* readable;
    } cases[] = {
        {"a b", "a_b"},
        {"x:/y?z=1", "x__y_z_1"},
        {"http://host/img-1_v2.png", "http___host_img-1_v2.png"},
        {"caf\xE9", "caf_"},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string name = CacheName(c.url);
        ASSERT_EQ(name.rfind("cache://", 0), 0u) << c.url;
        std::string file = name.substr(8);
        ASSERT_GE(file.size(), 17u) << c.url;
        EXPECT_EQ(file.find_first_not_of("0123456789abcdef"), 16u) << c.url;
        EXPECT_EQ(file[16], '_') << c.url;
        EXPECT_EQ(file.substr(17), c.readable) << c.url;
        EXPECT_EQ(CacheName(c.url), name) << c.url;  // the same URL, the same file
    }
    // URLs that read the same once turned keep files of their own.
    EXPECT_NE(CacheName("x:/y?z=1"), CacheName("x:/y?z_1"));
    EXPECT_NE(CacheName("a b"), CacheName("a_b"));
    // A long URL keeps a name of bounded length.
    std::string url(5000, 'u');
    EXPECT_EQ(CacheName(url.c_str()).size(), 8u + 17u + 128u);
    EXPECT_NE(CacheName(url.c_str()), CacheName((url + "v").c_str()));
    // The native form lies below the cache directory.
    nString saved = paths[PATH_PREFIX_CACHE];
    paths[PATH_PREFIX_CACHE] = "/tmp/cache";
    EXPECT_EQ(std::string(GetHTTPCacheFilePath("a b", true).c_str()), "/tmp/cache/" + CacheName("a b").substr(8));
    paths[PATH_PREFIX_CACHE] = saved;
}

TEST(HTTPRequests, AnswerStatusZeroWithEmptyBuffers) {
    zk_buffer_t* response = reinterpret_cast<zk_buffer_t*>(1);
    EXPECT_EQ(ZK_SendHttpRequest(2, "http://a", "text/plain", "", 0, &response, nullptr), 0);
    ASSERT_NE(response, nullptr);
    EXPECT_EQ(response->data, nullptr);
    EXPECT_EQ(response->size, 0);
    EXPECT_EQ(response->capacity, 0);
    ZK_FreeBuffer(response);
    EXPECT_EQ(ZK_SendHttpRequest(2, "http://a", "text/plain", "", 0, nullptr, nullptr), 0);

    zk_buffer_t* header = nullptr;
    response = nullptr;
    EXPECT_EQ(ZK_SendHttpRequestWithHeader(1, "http://a", "h", 1, "b", 1, &response, &header, nullptr), 0);
    ASSERT_NE(response, nullptr);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->size, 0);
    ZK_FreeBuffer(response);
    ZK_FreeBuffer(header);
    EXPECT_EQ(ZK_SendHttpRequestWithHeader(1, "http://a", "h", 1, "b", 1, nullptr, nullptr, nullptr), 0);

    zk_buffer_t* five = ZK_AllocBuffer(5);
    ASSERT_NE(five->data, nullptr);
    EXPECT_EQ(five->size, 5);
    EXPECT_EQ(five->capacity, 5);
    EXPECT_EQ(five->reserved, 0u);
    ZK_FreeBuffer(five);
    zk_buffer_t* none = ZK_AllocBuffer(-3);
    EXPECT_EQ(none->data, nullptr);
    EXPECT_EQ(none->size, 0);
    ZK_FreeBuffer(none);
    ZK_FreeBuffer(nullptr);
}

// The faked request: what it was asked and what it answers.
struct Request {
    int method;
    std::string url, content_type;
    int body_size;
};
std::vector<Request> requests;
int fake_status = 200;
std::string fake_body;
int fake_capacity = -1;  // -1: the body's size

int FakeRequest(int method, const char* url, const char* content_type, const char* body, int body_size,
                zk_buffer_t** response, int*) {
    requests.push_back({method, url, content_type, body_size});
    EXPECT_STREQ(body, "");
    *response = ZK_AllocBuffer(int(fake_body.size()));
    if (!fake_body.empty()) memcpy((*response)->data, fake_body.data(), fake_body.size());
    if (fake_capacity >= 0) (*response)->capacity = fake_capacity;
    return fake_status;
}

class HTTPFiles : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        requests.clear();
        fake_status = 200;
        fake_body.clear();
        fake_capacity = -1;
        saved_cache = paths[PATH_PREFIX_CACHE];
        paths[PATH_PREFIX_CACHE] = dir.Path().c_str();
        real_request = zk->ZK_SendHttpRequest;
        posix = new MacOSPOSIXSystem(nullptr);
        http = new HTTPSystem(posix);
    }
    void TearDown() override {
        zk->ZK_SendHttpRequest = real_request;
        paths[PATH_PREFIX_CACHE] = saved_cache;
        delete http;
        delete posix;
    }
    File* Open(const char* url) { return http->OpenFile(PATH_PREFIX_HTTP, nString(url), OPEN_MODE_READ); }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (const Message& m : Recorded()) lines.push_back(m.text);
        return lines;
    }
    std::string ReadAll(File* file) {
        std::string bytes(4096, '\0');
        bytes.resize(file->Read(&bytes[0], bytes.size()));
        return bytes;
    }

    TempDirectory dir;
    nString saved_cache;
    int (*real_request)(int, const char*, const char*, const char*, int, zk_buffer_t**, int*) = nullptr;
    MacOSPOSIXSystem* posix = nullptr;
    HTTPSystem* http = nullptr;
};

TEST_F(HTTPFiles, WithoutANetworkNothingDownloads) {
    EXPECT_EQ(Open("http://host/a.png"), nullptr);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"File System: downloading file 'http://host/a.png'...",
                                                  "File System: failed to download file 'http://host/a.png' (status 0)."}));
    EXPECT_FALSE(http->FileExists(PATH_PREFIX_HTTP, nString("http://host/a.png")));
}

TEST_F(HTTPFiles, ADownloadIsCachedAndServedFromItsStart) {
    zk->ZK_SendHttpRequest = FakeRequest;
    fake_body = "PNG-BYTES";
    File* file = Open("http://host/a.png?v=1");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->GetPosition(), 0);
    EXPECT_EQ(ReadAll(file), "PNG-BYTES");
    posix->CloseFile(file);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, 2);
    EXPECT_EQ(requests[0].url, "http://host/a.png?v=1");
    EXPECT_EQ(requests[0].content_type, "application/octet-stream");
    EXPECT_EQ(requests[0].body_size, 0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "File System: downloading file 'http://host/a.png?v=1'...",
                           "File System: downloading file 'http://host/a.png?v=1' completed (9 bytes)."}));
    std::string cached = GetHTTPCacheFilePath("http://host/a.png?v=1", true).c_str();
    EXPECT_EQ(ReadWholeFile(cached), "PNG-BYTES");

    // Served from the cache from now on; a URL that differs only in a
    // character the name turns is downloaded on its own.
    fake_body = "OTHER";
    file = Open("http://host/a.png?v=1");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(file), "PNG-BYTES");
    posix->CloseFile(file);
    EXPECT_TRUE(http->FileExists(PATH_PREFIX_HTTP, nString("http://host/a.png?v=1")));
    EXPECT_EQ(requests.size(), 1u);
    file = Open("http://host/a.png?v_1");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadAll(file), "OTHER");
    posix->CloseFile(file);
    EXPECT_EQ(requests.size(), 2u);
}

TEST_F(HTTPFiles, FailedDownloadsLeaveNoCacheFile) {
    zk->ZK_SendHttpRequest = FakeRequest;
    struct Case {
        int status;
        std::string body;
        int capacity;
        std::string line;
    } cases[] = {
        {404, "not found", -1, "File System: failed to download file 'http://h/x' (status 404)."},
        {200, "abc", 10, "File System: failed to download file 'http://h/x' (incomplete, 3/10 bytes)."},
    };
    for (const Case& c : cases) {
        ClearRecorded();
        fake_status = c.status;
        fake_body = c.body;
        fake_capacity = c.capacity;
        EXPECT_EQ(Open("http://h/x"), nullptr) << c.line;
        EXPECT_EQ(Lines(), (std::vector<std::string>{"File System: downloading file 'http://h/x'...", c.line}));
        EXPECT_FALSE(posix->FileExists(PATH_PREFIX_CACHE, GetHTTPCacheFilePath("http://h/x", true)));
    }
    EXPECT_EQ(http->OpenFile(PATH_PREFIX_HTTP, nString("http://h/x"), OPEN_MODE_WRITE), nullptr);
    EXPECT_EQ(requests.size(), 2u);

    // Without a cache directory nothing is stored, not even at the root.
    paths[PATH_PREFIX_CACHE] = "";
    fake_status = 200;
    fake_capacity = -1;
    EXPECT_EQ(Open("http://h/x"), nullptr);
}

TEST_F(HTTPFiles, ListingAndFileInformationAreNotOffered) {
    nString base("http://h/"), directory("http://h");
    nArray<nString> wildcards, results;
    zk_file_info_t info;
    http->FindFiles(PATH_PREFIX_HTTP, base, directory, wildcards, true, results);
    EXPECT_FALSE(http->GetFileInfo(PATH_PREFIX_HTTP, nString("http://h/x"), &info));
    EXPECT_EQ(results.count, 0);
    EXPECT_EQ(PopupTexts(), (std::vector<std::string>{
                                "File System: FindFiles() is not implemented for files in 'http://' on HTTP.",
                                "File System: GetFileInfo() is not implemented for files in 'http://' on HTTP."}));
}

}  // namespace
