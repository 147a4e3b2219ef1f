// The test hooks over SDL: events pushed into SDL's queue, SDL's virtual joysticks, and the
// choice of SDL's audio driver through its environment variables (read when a device opens).
#include "support/platform_test_support.h"

#include <SDL.h>

#include <cstring>

#include "platform/system.h"

namespace kvn::testing_support {

namespace {

Uint32 window_id(platform::Window* window) {
    return SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window));
}

bool push(SDL_Event* event) {
    return SDL_PushEvent(event) == 1;
}

// The opened joystick at the device index, null when it is not open.
SDL_Joystick* opened_joystick(int device_index) {
    return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device_index));
}

constexpr const char* kAudioDriver = "SDL_AUDIODRIVER";
constexpr const char* kAudioFile = "SDL_DISKAUDIOFILE";

// The audio driver chosen before the first routing ("" = none).
std::string original_audio_driver;
bool audio_routed = false;

void remember_audio_driver() {
    if (audio_routed) return;
    original_audio_driver = platform::environment_value(kAudioDriver);
    audio_routed = true;
}

}  // namespace

void discard_waiting_events() {
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

bool push_key_event(platform::Window* window, bool down, int key_usage, bool repeat) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = window_id(window);
    event.key.keysym.scancode = static_cast<SDL_Scancode>(key_usage);
    event.key.repeat = repeat ? 1 : 0;
    return push(&event);
}

bool push_text_event(platform::Window* window, const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = window_id(window);
    if (std::strlen(utf8) >= sizeof event.text.text) return false;
    std::strcpy(event.text.text, utf8);
    return push(&event);
}

bool push_wheel_event(platform::Window* window, int steps, bool flipped) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = window_id(window);
    event.wheel.y = steps;
    event.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    return push(&event);
}

bool push_mouse_button_event(platform::Window* window, bool down, int button) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = window_id(window);
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    return push(&event);
}

bool push_joystick_axis_event(int device, int axis, int16_t value) {
    SDL_Event event{};
    event.type = SDL_JOYAXISMOTION;
    event.jaxis.which = device;
    event.jaxis.axis = static_cast<Uint8>(axis);
    event.jaxis.value = value;
    return push(&event);
}

bool push_joystick_hat_event(int device, int hat, uint8_t position) {
    SDL_Event event{};
    event.type = SDL_JOYHATMOTION;
    event.jhat.which = device;
    event.jhat.hat = static_cast<Uint8>(hat);
    event.jhat.value = position;
    return push(&event);
}

bool joystick_service_start() {
    return SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

void joystick_service_stop() {
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

int virtual_joystick_attach(const char* name, int axes, int buttons, int hats) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = static_cast<Uint16>(axes);
    desc.nbuttons = static_cast<Uint16>(buttons);
    desc.nhats = static_cast<Uint16>(hats);
    desc.name = name;
    return SDL_JoystickAttachVirtualEx(&desc);
}

bool virtual_joystick_detach(int device_index) {
    return SDL_JoystickDetachVirtual(device_index) == 0;
}

bool virtual_joystick_set_axis(int device_index, int axis, int16_t value) {
    SDL_Joystick* joystick = opened_joystick(device_index);
    return joystick && SDL_JoystickSetVirtualAxis(joystick, axis, value) == 0;
}

bool virtual_joystick_set_button(int device_index, int button, bool pressed) {
    SDL_Joystick* joystick = opened_joystick(device_index);
    return joystick && SDL_JoystickSetVirtualButton(joystick, button, pressed ? 1 : 0) == 0;
}

bool virtual_joystick_set_hat(int device_index, int hat, uint8_t position) {
    SDL_Joystick* joystick = opened_joystick(device_index);
    return joystick && SDL_JoystickSetVirtualHat(joystick, hat, position) == 0;
}

void route_audio_output_to_file(const std::string& path) {
    remember_audio_driver();
    platform::environment_set(kAudioDriver, "disk");
    platform::environment_set(kAudioFile, path.c_str());
}

void route_audio_output_nowhere() {
    remember_audio_driver();
    platform::environment_set(kAudioDriver, "no-such-driver");
    platform::environment_set(kAudioFile, "");
}

void restore_audio_output() {
    if (!audio_routed) return;
    platform::environment_set(kAudioDriver, original_audio_driver.c_str());
    platform::environment_set(kAudioFile, "");
    audio_routed = false;
}

}  // namespace kvn::testing_support
