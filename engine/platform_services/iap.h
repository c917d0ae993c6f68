// Product ids and answer events for a platform's in-app purchase
// implementation.
//
// The product id base is the product value "iap_id", else the program
// record's id; a store's full product id is "base.id", and the events carry
// the id without "base.". The events (types 33 and 34, zk_purchase_event_t)
// are queued with heap copies of their texts, a null text copied as "".
#pragma once

#include "engine/base/nstring.h"

// The base, or null when there is neither the value nor a program.
const char* ZK_IAP_GetProductIdBase();
// "base.id"; the id itself without a base (a null id counts as "").
nString ZK_IAP_GetFullProductId(const char* id);
// The id after a leading "base."; the id itself otherwise ("" for null).
const char* ZK_IAP_SkipIdIAPBase(const char* id);

void ZK_IAP_SendPurchaseCompletedEvent(const char* product, const char* data);
void ZK_IAP_SendRestoreCompletedEvent(const char* product, const char* data);
void ZK_IAP_SendProductInfoEvent(const char* product, const char* info);
void ZK_IAP_SendRestoreFailedEvent();

// A ZK_AllocMemory copy of the text for an event to own ("" for null);
// null only when memory runs out.
char* ZKI_CopyEventText(const char* text);
