#pragma once

// The timeline control as a Qt widget, for host programs: `#include <vortrel/TimelineWidget.h>`
// (target Vortrel::Widget). The widget's control() is the ITimelineControl a host calls, and its
// signals are the control's events.
#include "platform/linux/widget/TimelineWidget.h"
