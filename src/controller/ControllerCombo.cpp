#include "controller/ControllerCombo.h"

#include "controller/ControllerDiscovery.h"
#include "platform/Controls.h"

#include <cstring>

void FillControllerCombo(AppContext& app, NativeHandle page)
{
    Controls& controls = ActiveControls();
    controls.ResetCombo(page, GamingDeviceComboId);
    uint32_t selected = 0;
    for (uint32_t i = 0; i < app.controllerCount; ++i) {
        const ControllerEntry& entry = app.controllers[i];
        controls.AddComboItem(page, GamingDeviceComboId, entry.productName, static_cast<intptr_t>(i));
        if (std::memcmp(entry.instanceGuid, app.usedController, sizeof(InputGuid)) == 0) selected = i;
    }
    if (app.controllerCount == 0) return;
    controls.SelectComboItem(page, GamingDeviceComboId, static_cast<int>(selected));
    SelectController(app, app.controllers[selected].device);
}

void ControllerComboChanged(AppContext& app, NativeHandle page)
{
    Controls& controls = ActiveControls();
    const intptr_t index =
        controls.ComboItemData(page, GamingDeviceComboId, controls.ComboSelection(page, GamingDeviceComboId));
    if (index < 0 || static_cast<uintptr_t>(index) >= app.controllerCount) return;
    SelectController(app, app.controllers[index].device);
}
