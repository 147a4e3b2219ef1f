#include "input/joystick_slots.h"

#include <algorithm>

namespace kvn {

std::vector<JoystickChange> plan_joystick_indices(const std::vector<JoystickSlot>& slots,
                                                  const std::vector<AttachedJoystick>& attached,
                                                  size_t limit) {
    std::vector<JoystickChange> changes;
    std::vector<bool> plugged(slots.size());
    const auto still_attached = [&](int32_t connection) {
        return std::any_of(attached.begin(), attached.end(), [&](const AttachedJoystick& device) {
            return device.connection == connection;
        });
    };
    for (size_t index = 0; index < slots.size(); ++index) {
        if (slots[index].connection < 0) continue;
        plugged[index] = still_attached(slots[index].connection);
        if (!plugged[index]) changes.push_back({static_cast<int32_t>(index), -1});
    }
    const auto held = [&](int32_t connection) {
        for (size_t index = 0; index < slots.size(); ++index) {
            if (plugged[index] && slots[index].connection == connection) return true;
        }
        return false;
    };
    size_t next_new = slots.size();
    for (size_t position = 0; position < attached.size(); ++position) {
        const AttachedJoystick& device = attached[position];
        if (held(device.connection)) continue;
        size_t index = 0;
        while (index < slots.size() && (plugged[index] || slots[index].device != device.device)) {
            ++index;
        }
        if (index < slots.size()) {
            plugged[index] = true;
        } else if (next_new < limit) {
            index = next_new++;
        } else {
            continue;
        }
        changes.push_back({static_cast<int32_t>(index), static_cast<int32_t>(position)});
    }
    return changes;
}

}  // namespace kvn
