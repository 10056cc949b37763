#pragma once
// The few system error codes that the port's shared code decides on. Each
// platform defines them beside its system calls (the terminal calls on POSIX
// systems, the communications calls on Windows), so there is one set per system.

namespace vyx {

/// Whether a failed call's code says the device has gone: the cable was pulled or
/// the other end of the line hung up. Such failures end the receive event thread
/// and do not hold up a close.
bool DeviceGone(int code);
/// The code a read fails with when the device went away before any byte came.
int DeviceGoneCode();
/// The code a transfer on a closed port fails with (an invalid handle).
int ClosedPortCode();
/// The code of an open refused because the port is still closing.
int PortBusyCode();

}  // namespace vyx
