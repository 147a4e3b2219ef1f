// The input devices as state in the runtime's terms: the keyboard as DirectInput scan codes,
// the mouse as position, deltas and buttons, joysticks in the standard joystick layout.
// Every read pumps the platform's events first, so the state is current.
#pragma once

#include <cstdint>
#include <string>

namespace kvn::platform {

struct Window;
// An opened joystick (with its force-feedback device when it has one).
struct Joystick;

// ---- Keyboard ----

// Pumps events and writes the keyboard as 256 scan-code bytes (bit 7 set = down).
void keyboard_read(uint8_t state[256]);
// The printable ASCII character the active keyboard layout gives each scan code without and
// with Shift (0 = none). Without a layout that can be asked for Shift, shifted = plain.
void keyboard_layout_characters(uint8_t plain[256], uint8_t shifted[256]);

// ---- Mouse ----

// One reading of the mouse: the pointer in the focus window's client pixels, the relative
// motion since the previous reading, the three buttons.
struct MouseReading {
    int32_t x = 0;
    int32_t y = 0;
    int32_t relative_dx = 0;
    int32_t relative_dy = 0;
    bool left = false;
    bool right = false;
    bool middle = false;
};

// Pumps events and reads the mouse.
void mouse_read(MouseReading* reading);
// Relative mode (pointer hidden and held in the window, only motion reported) on or off;
// false when the platform cannot switch it.
bool mouse_set_relative_mode(bool on);
// True while the pointer is over the window.
bool mouse_over(Window* window);
// Moves the system pointer to client position (x, y) of the window.
void mouse_warp(Window* window, int32_t x, int32_t y);
// Shows the standard arrow pointer, or no pointer.
void pointer_show(bool shown);

// ---- Joysticks ----

constexpr int kJoystickButtons = 32;

// A joystick reading in the standard joystick layout: X, Y, Z, rotation X, Y, Z (the device's
// -32768..32767), two sliders, four points of view (hundredths of a degree clockwise from up,
// 0xFFFFFFFF centred), 32 button bytes (0x80 = pressed).
struct JoystickReading {
    int32_t axes[6];
    int32_t sliders[2];
    uint32_t pov[4];
    uint8_t buttons[kJoystickButtons];
};

// A constant-force effect: cartesian direction (-32767..32767 per axis), magnitude 0..10000,
// duration in microseconds.
struct ForceEffect {
    int32_t direction_x = 0;
    int32_t direction_y = 0;
    int32_t magnitude = 0;
    uint32_t duration_us = 0;
};

// Starts the joystick and force-feedback services; false when joysticks cannot be used.
bool joysticks_init();
// Stops what joysticks_init started.
void joysticks_quit();
// Number of joysticks attached now.
int32_t joysticks_attached();
// An attached joystick as the platform lists it, before it is opened.
struct JoystickDevice {
    // This connection; a device gets a new one each time it is plugged in.
    int32_t connection = -1;
    std::string name;
    // What stays the same when the device is plugged in again: its model (the platform's
    // GUID of bus, vendor, product and version) and its name. Two devices of one model share
    // it (a serial number is known only once a device is open, too late to choose its index).
    std::string identity;
};

// The attached joystick with this device index (0 .. joysticks_attached() - 1).
JoystickDevice joystick_device(int32_t device_index);
// Opens the attached joystick with this device index; null on failure.
Joystick* joystick_open(int32_t device_index);
// Pumps events and reads the joystick; false (reading untouched) when it is unplugged.
bool joystick_read(Joystick* joystick, JoystickReading* reading);
// Stops and destroys the device's previous effect and plays this one once; nothing when the
// device has no constant-force feedback.
void joystick_play_force(Joystick* joystick, const ForceEffect& effect);
// Closes the joystick and its force-feedback device.
void joystick_close(Joystick* joystick);

}  // namespace kvn::platform
