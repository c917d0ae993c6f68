// The service names of ZK_CallExtension. The engine's extension call asks
// the in-app purchase mapping, the Game Center mapping and the modules (in
// that order, after its own first names) and returns the first answer that
// is not null; when nothing answers it may run the test dialog. Answers are
// constant texts: "YES", "NO", "OK", or null for a call not handled.
#pragma once

// "IAP_IsAvailable", "IAP_PurchaseItem", "IAP_RequestItemData",
// "IAP_RestorePurchases", "IAP_ShowPurchaseProgress"; null unless an
// available in-app purchase implementation was chosen.
const char* ZKID_IAPExtensionMapping(const char* name, const char* argument);

// Module "GameCenter" with an argument "function,field1,field2" mapped on
// the achievements and leaderboards fronts for user 0; needs the product
// feature "GAME_CENTER" and a leaderboards or achievement implementation.
const char* ZKID_GameCenterExtensionMapping(const char* module, const char* argument);

// The local-notification names ("SetLocalNotification" with
// "text;text;text;seconds", "RemoveAllLocalNotifications"), then each
// module's own CallExtension in list order.
const char* ZK_CallExtensionModuleExtension(const char* name, const char* argument);

// Stands in for a platform dialog that sends a message with an image:
// "GameCustomDialogSend" with "data name;data detail;user message;image
// file name" shows the numbered alert (the first is #1) and queues a
// type-63 reply. Always answers null.
const char* ZKID_TestExtension(const char* name, const char* argument);
