// The device names of ZK_CallExtension, URL opening and the mouse delta.

#include <pthread.h>

#include <cstring>

#include "engine/runtime/basic_functions.h"
#include "engine/runtime/log.h"
#include "platform/macos/device/device.h"

static pthread_mutex_t url_lock = PTHREAD_MUTEX_INITIALIZER;
static int url_requests = 0;
static nString last_url;

bool ZK_MAC_OS_X_OpenURL(const char* url) {
    if (!url) return false;
    pthread_mutex_lock(&url_lock);
    ++url_requests;
    last_url = url;
    pthread_mutex_unlock(&url_lock);
    // Nothing is ever launched from this program.
    return false;
}

int ZKD_GetNumberOfOpenURLRequests() {
    pthread_mutex_lock(&url_lock);
    int count = url_requests;
    pthread_mutex_unlock(&url_lock);
    return count;
}

const char* ZKD_GetLastOpenURLRequest() { return last_url.c_str(); }

void ZKD_ResetOpenURLRequests() {
    pthread_mutex_lock(&url_lock);
    url_requests = 0;
    last_url = nString();
    pthread_mutex_unlock(&url_lock);
}

static int pending_dx = 0;
static int pending_dy = 0;

void ZKD_SetMouseDeltaForTesting(int dx, int dy) {
    pending_dx = dx;
    pending_dy = dy;
}

void ZK_MAC_OS_X_ReadMouseDelta(float* dx, float* dy) {
    // The pointer would be warped to the centre of the main display here.
    if (dx) *dx = static_cast<float>(pending_dx);
    if (dy) *dy = static_cast<float>(pending_dy);
    pending_dx = pending_dy = 0;
}

static void OpenURL(const char* url) {
    zk_prog_t* prog = zk_state.prog;
    if (prog && !prog->parms.windowed) {
        // A full-screen program drops to a window first.
        prog->parms.windowed = 1;
        zk_parms_t parms = prog->parms;
        zk->ZK_ReinitializeWithParameters(parms);
    }
    if (!ZK_MAC_OS_X_OpenURL(url)) zk->ZK_Popupf(ZK_MESSAGE_WARNING, "Unable to open Mail Application. Sorry.\n");
}

// 31 characters and the terminator; a longer code is cut.
static const char* LanguageAnswer() {
    static char answer[32];
    nString language = ZK_OSX_GetLanguage();
    if (language.GetText()) {
        strncpy(answer, language.GetText(), sizeof(answer) - 1);
        answer[sizeof(answer) - 1] = '\0';
    }
    return answer;
}

const char* ZKD_CallExtension(const char* name, const char* value) {
    if (!name) return nullptr;
    if (!strcmp(name, "ComposeMail") || !strcmp(name, "OpenURL") || !strcmp(name, "IPHONE_OpenURL")) {
        OpenURL(value);
        return nullptr;
    }
    if (!strcmp(name, "GetLanguage")) return LanguageAnswer();
    if (!strcmp(name, "ReadMouseDelta")) {
        float dx = 0.0f, dy = 0.0f;
        ZK_MAC_OS_X_ReadMouseDelta(&dx, &dy);
        zk->ZK_SetKeyStatei(508, static_cast<int>(dx));
        zk->ZK_SetKeyStatei(509, static_cast<int>(dy));
        return nullptr;
    }
    return nullptr;
}
