#include "platform/displays/DisplayPower.h"

#include <X11/extensions/dpms.h>

namespace oz {

bool DisplayPower::Asleep(Display* display) {
    if (!display)
        return false;
    if (display != asked_) {
        int eventBase = 0, errorBase = 0;
        asked_ = display;
        capable_ = DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display);
    }
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!capable_ || !DPMSInfo(display, &level, &enabled))
        return false;
    return enabled && level != DPMSModeOn;
}

} // namespace oz
