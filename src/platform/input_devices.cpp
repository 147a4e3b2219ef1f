// The input devices as state: the keyboard through SDL's key state, the layout through SDL and
// X11's keyboard extension, the mouse through SDL's mouse state, joysticks and force feedback
// through SDL's joystick and haptic services.
#include "platform/input_devices.h"

#include <SDL.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/journal.h"
#include "platform/picture_mapping.h"
#include "platform/scan_codes.h"

namespace kvn::platform {

struct Joystick {
    // Null for a joystick a replay opened: it only hands out recorded readings.
    SDL_Joystick* device = nullptr;
    SDL_Haptic* haptic = nullptr;  // opened at the first force command
    bool haptic_tried = false;
    int effect = -1;  // the effect last created, -1 for none
};

namespace {

constexpr uint32_t kJoystickServices = SDL_INIT_JOYSTICK | SDL_INIT_HAPTIC;

SDL_Window* sdl(Window* window) {
    return reinterpret_cast<SDL_Window*>(window);
}

bool printable(long code) {
    return code >= 0x20 && code <= 0x7E;
}

// Shifted characters asked of the X server's keyboard map for the key that gives each plain
// character in the active group; false when the display is not an X display.
bool x11_shifted_characters(const uint8_t plain[256], uint8_t shifted[256]) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    for (int code = 0; code < 256; ++code) {
        if (!plain[code]) continue;
        // Latin-1 keysyms equal their character codes.
        const KeyCode key = XKeysymToKeycode(display, plain[code]);
        const KeySym symbol = key ? XkbKeycodeToKeysym(display, key, state.group, 1) : NoSymbol;
        shifted[code] = printable(static_cast<long>(symbol)) ? static_cast<uint8_t>(symbol) : 0;
    }
    XCloseDisplay(display);
    return true;
}

SDL_Scancode sdl_scancode(uint8_t scan_code) {
    return static_cast<SDL_Scancode>(key_usage(scan_code));
}

// The character of a numeric-pad key (0 = none, or not a numeric-pad key).
char keypad_character(uint8_t scan_code, bool num_lock) {
    switch (sdl_scancode(scan_code)) {
        case SDL_SCANCODE_KP_DIVIDE:
            return '/';
        case SDL_SCANCODE_KP_MULTIPLY:
            return '*';
        case SDL_SCANCODE_KP_MINUS:
            return '-';
        case SDL_SCANCODE_KP_PLUS:
            return '+';
        case SDL_SCANCODE_KP_PERIOD:
            return num_lock ? '.' : 0;
        case SDL_SCANCODE_KP_0:
            return num_lock ? '0' : 0;
        default:
            break;
    }
    const SDL_Scancode scancode = sdl_scancode(scan_code);
    if (num_lock && scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
        return static_cast<char>('1' + (scancode - SDL_SCANCODE_KP_1));
    }
    return 0;
}

}  // namespace

static void live_keyboard_read(uint8_t state[256]) {
    SDL_PumpEvents();
    int count = 0;
    const Uint8* keys = SDL_GetKeyboardState(&count);
    std::memset(state, 0, 256);
    for (int scancode = 0; scancode < count && scancode < SDL_NUM_SCANCODES; ++scancode) {
        const uint8_t code = direct_input_scan_code(scancode);
        if (code != 0 && keys[scancode]) state[code] = 0x80;
    }
}

static void live_layout_characters(uint8_t plain[256], uint8_t shifted[256]) {
    for (int code = 0; code < 256; ++code) {
        const SDL_Scancode scancode = sdl_scancode(static_cast<uint8_t>(code));
        const SDL_Keycode key =
            scancode == SDL_SCANCODE_UNKNOWN ? SDLK_UNKNOWN : SDL_GetKeyFromScancode(scancode);
        plain[code] = printable(key) ? static_cast<uint8_t>(key) : 0;
    }
    if (!x11_shifted_characters(plain, shifted)) std::memcpy(shifted, plain, 256);
    // The numeric pad types its symbols, and its digits while Num Lock is on.
    const bool num_lock = (SDL_GetModState() & KMOD_NUM) != 0;
    for (int code = 0; code < 256; ++code) {
        const char character = keypad_character(static_cast<uint8_t>(code), num_lock);
        if (character) plain[code] = shifted[code] = static_cast<uint8_t>(character);
    }
}

static void live_mouse_read(MouseReading* reading) {
    SDL_PumpEvents();
    int x = 0, y = 0;
    const Uint32 buttons = SDL_GetMouseState(&x, &y);
    int dx = 0, dy = 0;
    SDL_GetRelativeMouseState(&dx, &dy);
    // A scaled picture is read in its own pixels; the mapped reading is what a recording keeps.
    map_pointer_to_picture(&x, &y, &dx, &dy);
    reading->x = x;
    reading->y = y;
    reading->relative_dx = dx;
    reading->relative_dy = dy;
    reading->left = (buttons & SDL_BUTTON_LMASK) != 0;
    reading->right = (buttons & SDL_BUTTON_RMASK) != 0;
    reading->middle = (buttons & SDL_BUTTON_MMASK) != 0;
}

static bool live_set_relative_mode(bool on) {
    if (SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE) != 0) {
        std::fprintf(stderr, "kvn: relative mouse mode: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

static bool live_mouse_over(Window* window) {
    return window && SDL_GetMouseFocus() == sdl(window);
}

void mouse_warp(Window* window, int32_t x, int32_t y) {
    // A replay leaves the real pointer alone: the recorded readings already show the move.
    if (journal::replaying()) return;
    if (!window) return;
    int window_x = x, window_y = y;
    map_picture_to_window(sdl(window), &window_x, &window_y);
    SDL_WarpMouseInWindow(sdl(window), window_x, window_y);
}

void pointer_show(bool shown) {
    if (shown) SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

static bool live_joysticks_init() {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        std::fprintf(stderr, "kvn: joysticks: %s\n", SDL_GetError());
        return false;
    }
    // Force feedback is optional: a joystick without it simply plays no effect.
    if (SDL_InitSubSystem(SDL_INIT_HAPTIC) != 0) {
        std::fprintf(stderr, "kvn: force feedback: %s\n", SDL_GetError());
    }
    return true;
}

void joysticks_quit() {
    if (journal::replaying()) return;
    SDL_QuitSubSystem(kJoystickServices);
}

static int32_t live_joysticks_attached() {
    SDL_PumpEvents();
    const int count = SDL_NumJoysticks();
    return count > 0 ? count : 0;
}

static Joystick* live_joystick_open(int32_t device_index) {
    SDL_Joystick* device = SDL_JoystickOpen(device_index);
    if (!device) {
        std::fprintf(stderr, "kvn: joystick %d: %s\n", device_index, SDL_GetError());
        return nullptr;
    }
    Joystick* joystick = new Joystick;
    joystick->device = device;
    return joystick;
}

static JoystickDevice live_joystick_device(int32_t device_index) {
    JoystickDevice device;
    device.connection = SDL_JoystickGetDeviceInstanceID(device_index);
    const char* name = SDL_JoystickNameForIndex(device_index);
    device.name = name ? name : "";
    char guid[33] = {};
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(device_index), guid, sizeof guid);
    device.identity = std::string(guid) + '/' + device.name;
    return device;
}

static bool live_joystick_read(Joystick* joystick, JoystickReading* reading) {
    SDL_PumpEvents();
    SDL_JoystickUpdate();
    if (!joystick || !SDL_JoystickGetAttached(joystick->device)) return false;
    SDL_Joystick* device = joystick->device;
    const int axes = SDL_JoystickNumAxes(device);
    const int hats = SDL_JoystickNumHats(device);
    const int buttons = SDL_JoystickNumButtons(device);
    for (int axis = 0; axis < 8; ++axis) {
        const int32_t value = axis < axes ? SDL_JoystickGetAxis(device, axis) : 0;
        if (axis < 6) {
            reading->axes[axis] = value;
        } else {
            reading->sliders[axis - 6] = value;
        }
    }
    for (int hat = 0; hat < 4; ++hat) {
        const int32_t direction = hat < hats ? hat_direction(SDL_JoystickGetHat(device, hat)) : -1;
        reading->pov[hat] = static_cast<uint32_t>(direction);
    }
    for (int button = 0; button < kJoystickButtons; ++button) {
        const bool down = button < buttons && SDL_JoystickGetButton(device, button) != 0;
        reading->buttons[button] = down ? 0x80 : 0;
    }
    return true;
}

void joystick_play_force(Joystick* joystick, const ForceEffect& effect) {
    if (!joystick || !joystick->device || !SDL_JoystickGetAttached(joystick->device)) return;
    if (!joystick->haptic_tried) {
        joystick->haptic_tried = true;
        if (SDL_JoystickIsHaptic(joystick->device) == 1) {
            joystick->haptic = SDL_HapticOpenFromJoystick(joystick->device);
        }
    }
    SDL_Haptic* haptic = joystick->haptic;
    if (!haptic || !(SDL_HapticQuery(haptic) & SDL_HAPTIC_CONSTANT)) return;
    // Reset: the previous effect is stopped and freed, so the device never runs out of
    // effect slots.
    if (joystick->effect >= 0) {
        SDL_HapticStopEffect(haptic, joystick->effect);
        SDL_HapticDestroyEffect(haptic, joystick->effect);
        joystick->effect = -1;
    }
    SDL_HapticEffect sdl_effect{};
    sdl_effect.type = SDL_HAPTIC_CONSTANT;
    sdl_effect.constant.direction.type = SDL_HAPTIC_CARTESIAN;
    sdl_effect.constant.direction.dir[0] = effect.direction_x;
    sdl_effect.constant.direction.dir[1] = effect.direction_y;
    sdl_effect.constant.length = effect.duration_us / 1000;
    sdl_effect.constant.level = static_cast<Sint16>(effect.magnitude * 32767LL / 10000);
    joystick->effect = SDL_HapticNewEffect(haptic, &sdl_effect);
    if (joystick->effect < 0 || SDL_HapticRunEffect(haptic, joystick->effect, 1) != 0) {
        std::fprintf(stderr, "kvn: force feedback effect: %s\n", SDL_GetError());
    }
}

void joystick_close(Joystick* joystick) {
    if (!joystick) return;
    if (joystick->haptic) {
        if (joystick->effect >= 0) SDL_HapticDestroyEffect(joystick->haptic, joystick->effect);
        SDL_HapticClose(joystick->haptic);
    }
    if (joystick->device) SDL_JoystickClose(joystick->device);
    delete joystick;
}

// ---------------------------------------------------------------- reports

namespace {

// A fixed-size block of bytes as one report.
template <size_t Size, class Live>
void report_block(journal::Kind kind, uint8_t* block, Live live) {
    struct Block {
        uint8_t bytes[Size];
    };
    const Block value = journal::report<Block>(
        kind,
        [&] {
            Block live_block{};
            live(live_block.bytes);
            return live_block;
        },
        [](journal::ValueWriter& w, const Block& v) { w.raw(v.bytes, Size); },
        [](journal::ValueReader& r) {
            Block read{};
            r.raw(read.bytes, Size);
            return read;
        },
        Block{});
    std::memcpy(block, value.bytes, Size);
}

}  // namespace

void keyboard_read(uint8_t state[256]) {
    report_block<256>(journal::Kind::kKeyboard, state, live_keyboard_read);
}

void keyboard_layout_characters(uint8_t plain[256], uint8_t shifted[256]) {
    uint8_t both[512];
    report_block<512>(journal::Kind::kLayoutCharacters, both,
                      [](uint8_t* live) { live_layout_characters(live, live + 256); });
    std::memcpy(plain, both, 256);
    std::memcpy(shifted, both + 256, 256);
}

void mouse_read(MouseReading* reading) {
    *reading = journal::report<MouseReading>(
        journal::Kind::kMouse,
        [] {
            MouseReading live;
            live_mouse_read(&live);
            return live;
        },
        [](journal::ValueWriter& w, const MouseReading& v) {
            w.i32(v.x).i32(v.y).i32(v.relative_dx).i32(v.relative_dy);
            w.u8(uint8_t((v.left ? 1 : 0) | (v.right ? 2 : 0) | (v.middle ? 4 : 0)));
        },
        [](journal::ValueReader& r) {
            MouseReading v;
            v.x = r.i32();
            v.y = r.i32();
            v.relative_dx = r.i32();
            v.relative_dy = r.i32();
            const uint8_t buttons = r.u8();
            v.left = (buttons & 1) != 0;
            v.right = (buttons & 2) != 0;
            v.middle = (buttons & 4) != 0;
            return v;
        },
        MouseReading{});
}

bool mouse_set_relative_mode(bool on) {
    return journal::report_flag(journal::Kind::kRelativeMode,
                                [on] { return live_set_relative_mode(on); });
}

bool mouse_over(Window* window) {
    return journal::report_flag(journal::Kind::kMouseOver,
                                [window] { return live_mouse_over(window); });
}

bool joysticks_init() {
    return journal::report_flag(journal::Kind::kJoysticksInit, live_joysticks_init);
}

int32_t joysticks_attached() {
    return journal::report_int(journal::Kind::kJoysticksAttached, live_joysticks_attached);
}

Joystick* joystick_open(int32_t device_index) {
    if (!journal::replaying()) {
        Joystick* joystick = live_joystick_open(device_index);
        if (journal::recording()) {
            const uint8_t opened = joystick ? 1 : 0;
            journal::put(journal::Kind::kJoystickOpen, &opened, 1);
        }
        return joystick;
    }
    const bool opened = journal::report_flag(journal::Kind::kJoystickOpen, [] { return false; });
    return opened ? new Joystick : nullptr;
}

JoystickDevice joystick_device(int32_t device_index) {
    return journal::report<JoystickDevice>(
        journal::Kind::kJoystickDevice, [device_index] { return live_joystick_device(device_index); },
        [](journal::ValueWriter& w, const JoystickDevice& v) {
            w.i32(v.connection).u32(static_cast<uint32_t>(v.name.size()));
            w.raw(v.name.data(), v.name.size()).raw(v.identity.data(), v.identity.size());
        },
        [](journal::ValueReader& r) {
            JoystickDevice v;
            v.connection = r.i32();
            const uint32_t name_size = r.u32();
            std::string rest = r.rest();
            if (name_size > rest.size()) journal::diverge("the recording has a damaged joystick");
            v.name = rest.substr(0, name_size);
            v.identity = rest.substr(name_size);
            return v;
        },
        JoystickDevice{});
}

bool joystick_read(Joystick* joystick, JoystickReading* reading) {
    struct Read {
        bool attached = false;
        JoystickReading reading{};
    };
    const Read value = journal::report<Read>(
        journal::Kind::kJoystickRead,
        [joystick, reading] {
            Read live;
            live.reading = *reading;
            live.attached = live_joystick_read(joystick, &live.reading);
            return live;
        },
        [](journal::ValueWriter& w, const Read& v) {
            w.u8(v.attached ? 1 : 0);
            if (!v.attached) return;
            for (int32_t axis : v.reading.axes) w.i32(axis);
            for (int32_t slider : v.reading.sliders) w.i32(slider);
            for (uint32_t pov : v.reading.pov) w.u32(pov);
            w.raw(v.reading.buttons, sizeof v.reading.buttons);
        },
        [](journal::ValueReader& r) {
            Read v;
            v.attached = r.u8() != 0;
            if (!v.attached) return v;
            for (int32_t& axis : v.reading.axes) axis = r.i32();
            for (int32_t& slider : v.reading.sliders) slider = r.i32();
            for (uint32_t& pov : v.reading.pov) pov = r.u32();
            r.raw(v.reading.buttons, sizeof v.reading.buttons);
            return v;
        },
        Read{});
    if (value.attached) *reading = value.reading;
    return value.attached;
}

}  // namespace kvn::platform
