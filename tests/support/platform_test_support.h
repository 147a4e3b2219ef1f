// What tests do to the platform from the outside: input events pushed into the event queue as
// if the user made them, virtual joysticks, and where the audio output goes. Keys are USB HID
// usage ids (4 = A), hat positions direction bits (1 up, 2 right, 4 down, 8 left).
#pragma once

#include <cstdint>
#include <string>

namespace kvn::platform {
struct Window;
}

namespace kvn::testing_support {

// ---- Events ----

// Empties the platform's event queue.
void discard_waiting_events();
// Pushes a key press or release on the window; false when the queue refused it.
bool push_key_event(platform::Window* window, bool down, int key_usage, bool repeat);
// Pushes typed UTF-8 text (at most 31 bytes) on the window.
bool push_text_event(platform::Window* window, const char* utf8);
// Pushes a wheel turn of steps away from the user; flipped as a reversed-scrolling device.
bool push_wheel_event(platform::Window* window, int steps, bool flipped);
// Pushes a mouse button press or release on the window (button 1 left, 2 middle, 3 right).
bool push_mouse_button_event(platform::Window* window, bool down, int button);
// Pushes a joystick axis motion or a hat change of the joystick with that instance id.
bool push_joystick_axis_event(int device, int axis, int16_t value);
bool push_joystick_hat_event(int device, int hat, uint8_t position);

// ---- Virtual joysticks ----

// Starts the joystick service, so joysticks attached now are seen at input start-up; false
// when it cannot start.
bool joystick_service_start();
// Stops what joystick_service_start started.
void joystick_service_stop();
// Attaches a virtual joystick; its device index, -1 on failure.
int virtual_joystick_attach(const char* name, int axes, int buttons, int hats);
// Detaches the virtual joystick at that device index; false on failure.
bool virtual_joystick_detach(int device_index);
// Sets an axis, button or hat of the opened virtual joystick at that device index; the value
// is read at the joystick's next update. False when it is not open or has no such control.
bool virtual_joystick_set_axis(int device_index, int axis, int16_t value);
bool virtual_joystick_set_button(int device_index, int button, bool pressed);
bool virtual_joystick_set_hat(int device_index, int hat, uint8_t position);

// ---- Audio output ----

// Audio devices opened from now on write what they play into the file, raw samples.
void route_audio_output_to_file(const std::string& path);
// Audio devices opened from now on fail to open, as on a machine without sound.
void route_audio_output_nowhere();
// Audio devices opened from now on go where they went before the first routing.
void restore_audio_output();

}  // namespace kvn::testing_support
