// Which thread may read its settings block without installing one.

#include "model/Settings.h"

#include <thread>

namespace {

// Static objects of the core are made on the main thread, before main runs.
const std::thread::id kMainThread = std::this_thread::get_id();

}  // namespace

bool ThisThreadHasSettings() { return SettingsInstalled || std::this_thread::get_id() == kMainThread; }
