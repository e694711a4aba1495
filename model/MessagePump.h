#pragma once
// The hook through which long core loops let a window handle its events.
// Headless no hook is installed and a pump is one predictable branch.

using MessagePumpHook = void (*)();

inline MessagePumpHook InstalledMessagePump = nullptr;

inline void SetMessagePump(MessagePumpHook hook) { InstalledMessagePump = hook; }

// Lets the window process its pending events once (throttling is the hook's).
inline void PumpMessages() {
  if (InstalledMessagePump != nullptr) InstalledMessagePump();
}
