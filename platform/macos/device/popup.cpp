// The platform popup: this program shows none.

#include <pthread.h>

#include <cstdlib>
#include <cstring>

#include "platform/macos/device/platform.h"

static pthread_mutex_t record_lock = PTHREAD_MUTEX_INITIALIZER;
static int popup_count = 0;
static int last_type = 0;
static char* last_text = nullptr;

namespace {
struct LastTextOwner {
    ~LastTextOwner() {
        free(last_text);
        last_text = nullptr;
    }
} last_text_owner;
}  // namespace

int ZKD_Popup(int type, const char* text) {
    pthread_mutex_lock(&record_lock);
    ++popup_count;
    last_type = type;
    free(last_text);
    last_text = strdup(text ? text : "");
    pthread_mutex_unlock(&record_lock);
    return 4;
}

int ZKD_GetNumberOfPopups() {
    pthread_mutex_lock(&record_lock);
    int count = popup_count;
    pthread_mutex_unlock(&record_lock);
    return count;
}

int ZKD_GetLastPopupType() {
    pthread_mutex_lock(&record_lock);
    int type = last_type;
    pthread_mutex_unlock(&record_lock);
    return type;
}

const char* ZKD_GetLastPopupText() {
    pthread_mutex_lock(&record_lock);
    const char* text = last_text ? last_text : "";
    pthread_mutex_unlock(&record_lock);
    return text;
}

void ZKD_ResetPopupRecord() {
    pthread_mutex_lock(&record_lock);
    popup_count = 0;
    last_type = 0;
    free(last_text);
    last_text = nullptr;
    pthread_mutex_unlock(&record_lock);
}
