// The application's activation and deactivation, which the platform's
// application layer reports.
#pragma once

// Records the application's activation; on a change it queues an
// activation event (zk_activation_event_t), tells the back ends (renderer,
// input implementations, sound) and clears the key states.
void ZKI_ActivateApp(bool active);
