// Product ids and answer events of in-app purchases.

#include "engine/platform_services/iap.h"

#include <cstring>

#include "engine/events/events.h"
#include "engine/runtime/state.h"
#include "engine/platform_services/prefixed_ids.h"

namespace {

enum { kNotice = 1, kRestoreFailed = 2 };

// The event takes the two texts (copies made for it, or null).
void SendPurchaseEvent(zk_event_type_t type, uint32_t restored, const char* product, char* information,
                       char* data) {
    zk_purchase_event_t fields = {type,        kNotice, ZKI_CopyEventText(ZK_IAP_SkipIdIAPBase(product)),
                                  restored,    information, nullptr, data};
    zk_event_t event = ZKI_MakeEvent(fields);
    zk->ZK_SendEventQueued(&event);
}

}  // namespace

char* ZKI_CopyEventText(const char* text) {
    if (!text) text = "";
    size_t size = strlen(text) + 1;
    char* copy = static_cast<char*>(zk->ZK_AllocMemory(static_cast<unsigned int>(size)));
    if (copy) memcpy(copy, text, size);
    return copy;
}

const char* ZK_IAP_GetProductIdBase() {
    const char* value = zk->ZK_GetProductValue("iap_id");
    if (value) return value;
    return zk_prog ? zk_prog->id : nullptr;
}

nString ZK_IAP_GetFullProductId(const char* id) { return ZKI_JoinIdToBase(ZK_IAP_GetProductIdBase(), id); }

const char* ZK_IAP_SkipIdIAPBase(const char* id) {
    if (!id) return "";
    return ZKI_SkipIdBase(ZK_IAP_GetProductIdBase(), id);
}

// The data of a completed purchase or restore goes to the last field; the
// information field is for product information only.
void ZK_IAP_SendPurchaseCompletedEvent(const char* product, const char* data) {
    SendPurchaseEvent(ZK_EVENT_PURCHASE_COMPLETED, 1, product, nullptr, ZKI_CopyEventText(data));
}

void ZK_IAP_SendRestoreCompletedEvent(const char* product, const char* data) {
    SendPurchaseEvent(ZK_EVENT_PURCHASE_NOTICE, 1, product, nullptr, ZKI_CopyEventText(data));
}

void ZK_IAP_SendProductInfoEvent(const char* product, const char* info) {
    SendPurchaseEvent(ZK_EVENT_PURCHASE_NOTICE, 0, product, ZKI_CopyEventText(info), nullptr);
}

void ZK_IAP_SendRestoreFailedEvent() {
    zk_event_t event = ZKI_MakeEvent(zk_purchase_event_t{ZK_EVENT_PURCHASE_NOTICE, kRestoreFailed, nullptr, 0,
                                                         nullptr, nullptr, nullptr});
    zk->ZK_SendEventQueued(&event);
}
