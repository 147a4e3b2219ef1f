// Up to ten joysticks, plugged in at start-up or later: axes scaled to -1..1, buttons, points
// of view, force feedback. Every command checks the index and the joysticks-off flag first.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "input/input_state.h"
#include "kvn/input.h"

namespace kvn {

namespace {

bool usable(int32_t index) {
    return active_input && !active_input->joysticks_off && index >= 0 &&
           index < active_input->joystick_count;
}

// The joystick's reading; all zeros (points of view centred) for an unusable index.
platform::JoystickReading read(int32_t index) {
    platform::JoystickReading reading;
    if (usable(index)) {
        joystick_read(*active_input, index, reading);
    } else {
        clear_joystick_reading(reading);
    }
    return reading;
}

double axis(int32_t index, int axis_number) {
    return usable(index) ? axis_value(read(index).axes[axis_number]) : 0.0;
}

void set_name(InputState& state, int32_t index, const std::string& name) {
    // The platform knows one name per device; it stands for both the instance and the
    // product name.
    const std::string full = name + ", " + name;
    char* slot = state.joystick_names[index];
    const size_t length = std::min(full.size(), static_cast<size_t>(kJoystickNameSize - 1));
    std::memcpy(slot, full.data(), length);
    slot[length] = '\0';
}

}  // namespace

void update_joysticks(InputState& state) {
    std::vector<platform::JoystickDevice> devices;
    std::vector<AttachedJoystick> attached;
    const int32_t count = platform::joysticks_attached();
    for (int32_t device_index = 0; device_index < count; ++device_index) {
        devices.push_back(platform::joystick_device(device_index));
        attached.push_back({devices.back().connection, devices.back().identity});
    }
    const std::vector<JoystickSlot> slots(state.joystick_slots,
                                          state.joystick_slots + state.joystick_count);
    for (const JoystickChange& change : plan_joystick_indices(slots, attached, kMaxJoysticks)) {
        JoystickSlot& slot = state.joystick_slots[change.index];
        platform::joystick_close(state.joysticks[change.index]);
        state.joysticks[change.index] = nullptr;
        slot.connection = -1;
        if (change.attached < 0) continue;
        const platform::JoystickDevice& device = devices[static_cast<size_t>(change.attached)];
        // A device that cannot be opened keeps its index and reads as unplugged; the next
        // change of devices tries it again.
        state.joysticks[change.index] = platform::joystick_open(change.attached);
        if (state.joysticks[change.index]) slot.connection = device.connection;
        if (change.index == state.joystick_count) {
            slot.device = device.identity;
            set_name(state, change.index, device.name);
            ++state.joystick_count;
        }
    }
}

void joystick_read(InputState& state, int32_t index, platform::JoystickReading& reading) {
    if (!platform::joystick_read(state.joysticks[index], &reading)) clear_joystick_reading(reading);
}

int32_t joystick_count() {
    return active_input && !active_input->joysticks_off ? active_input->joystick_count : 0;
}

StringValue joystick_name(int32_t index) {
    return usable(index) ? StringValue(active_input->joystick_names[index]) : StringValue();
}

double joystick_x(int32_t index) {
    return axis(index, 0);
}

double joystick_y(int32_t index) {
    return axis(index, 1);
}

double joystick_z(int32_t index) {
    return axis(index, 2);
}

double joystick_rotation_x(int32_t index) {
    return axis(index, 3);
}

double joystick_rotation_y(int32_t index) {
    return axis(index, 4);
}

double joystick_rotation_z(int32_t index) {
    return axis(index, 5);
}

int32_t joystick_button(int32_t index, int32_t button) {
    if (!usable(index) || button < 0 || button >= platform::kJoystickButtons) return 0;
    return read(index).buttons[button];
}

int32_t joystick_pov_x(int32_t index) {
    return usable(index) ? pov_x(read(index).pov[0]) : 0;
}

int32_t joystick_pov_y(int32_t index) {
    return usable(index) ? pov_y(read(index).pov[0]) : 0;
}

void joystick_state_simple(int32_t& x, int32_t& y, int32_t& button1, int32_t& button2) {
    const platform::JoystickReading reading = read(0);
    x = simple_axis(reading.axes[0]);
    y = simple_axis(reading.axes[1]);
    button1 = reading.buttons[0];
    button2 = reading.buttons[1];
}

void joystick_force(int32_t index, int32_t duration_ms, double x, double y) {
    if (!usable(index)) return;
    platform::joystick_play_force(active_input->joysticks[index], force_effect(duration_ms, x, y));
}

void disable_joysticks() {
    if (active_input) active_input->joysticks_off = true;
}

}  // namespace kvn
