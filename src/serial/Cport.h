#pragma once
// The serial port layer: the port object with its settings, port enumeration, the
// receive event thread and the hand-over of its notifications to the window thread.
//
// The application installs a wake-up (SetHandOverWakeUp) that makes its window
// thread call RunPendingHandOvers(); the port's OnRxChar handler then runs there.

#include "ComTypes.h"
#include "EComPort.h"
#include "EnumComPorts.h"
#include "HandOver.h"
#include "TComBuffer.h"
#include "TComFlowControl.h"
#include "TComParity.h"
#include "TComPort.h"
#include "TComThread.h"
#include "TComTimeouts.h"
#include "TCustomComPort.h"
