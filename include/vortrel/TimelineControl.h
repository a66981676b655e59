#pragma once

// The timeline control on the Linux back ends without a widget, for host programs that give it
// a window of their own: `#include <vortrel/TimelineControl.h>` (target Vortrel::Control).
// CreateLinuxControl makes one; the host hands it its window and timers (OnCreate), its events'
// sink (Advise), its window's messages (the On… members) and paints it onto a QImage through
// a QtDrawContext.
#include "control/CTimelineControl.h"
#include "control/ITimelineControl.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/QtDrawContext.h"
#include "ports/IControlWindow.h"
#include "ports/ITimerHost.h"
