#include "devices/device.h"

namespace {
DeviceNotifyHook g_hook = nullptr;
}

int DEVICE::notify(int32_t code, intptr_t argument) { return g_hook ? g_hook(code, argument) : 0; }

void DEVICE::setNotifyHook(DeviceNotifyHook hook) { g_hook = hook; }

DeviceNotifyHook DEVICE::notifyHook() { return g_hook; }
