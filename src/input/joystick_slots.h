// Which joystick index each attached device holds. An index, once a program has seen it, stays
// with its device: unplugged it reads as nothing, and the same device plugged in again takes it
// back; any other device takes the next free index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kvn {

// A joystick index: the device that took it and, while plugged in, its connection.
struct JoystickSlot {
    std::string device;
    int32_t connection = -1;  // -1 while unplugged
};

// A device attached now: its connection (new at every plugging in) and what names the device
// across pluggings.
struct AttachedJoystick {
    int32_t connection = -1;
    std::string device;
};

// One change of an index: its device left (attached = -1), or the attached device at that
// position in the list takes it (an index at or past the slots is a new one).
struct JoystickChange {
    int32_t index = 0;
    int32_t attached = -1;
    bool operator==(const JoystickChange& other) const {
        return index == other.index && attached == other.attached;
    }
};

// The changes that bring the slots up to date with the devices attached now: first every
// index whose connection is gone, then each newly attached device in list order, taking the
// lowest unplugged index of the same device or else the next new index below the limit (no
// index when none is left).
std::vector<JoystickChange> plan_joystick_indices(const std::vector<JoystickSlot>& slots,
                                                  const std::vector<AttachedJoystick>& attached,
                                                  size_t limit);

}  // namespace kvn
