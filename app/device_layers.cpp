// The layers over the device, stacked in their one order.
#include "app/device_layers.h"

#include <initializer_list>

void ComposeDevice(const DeviceLayers& layers) {
  for (DeviceLayer layer : {layers.replay, layers.recording, layers.trace})
    if (layer) gPlatform = layer(gPlatform);
}
