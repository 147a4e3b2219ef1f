// The event pump: SDL events as the window messages of the runtime's window procedure, and
// input events as records for the input subsystem's sink.
#pragma once

#include <cstdint>

namespace kvn::platform {

struct Window;

// Window-message numbers delivered to the window procedure.
enum MessageId : uint32_t {
    kMessageNull = 0x0000,
    kMessageActivate = 0x0006,
    kMessageClose = 0x0010,
    kMessageEraseBackground = 0x0014,
    kMessageSystemCommand = 0x0112,
};

// One waiting message of a window, translated from the platform's event.
struct Message {
    Window* window;
    uint32_t id;
    uintptr_t wparam;
    intptr_t lparam;
};

// A window procedure: handles one message, returns its result.
using WindowProcedure = intptr_t (*)(Window* window, uint32_t id, uintptr_t wparam,
                                     intptr_t lparam);

// Sets the window procedure that dispatch_message calls.
void set_window_procedure(WindowProcedure procedure);
// The next waiting message of the window, without removing it.
bool peek_message(Window* window, Message* message);
// Removes the next waiting message of the window. An input event is handed to the input sink
// on its way out and arrives as the null message.
bool remove_message(Window* window, Message* message);
// Calls the window procedure for the message.
intptr_t dispatch_message(const Message& message);
// What the system does with a message the window procedure passes on.
intptr_t default_window_procedure(Window* window, uint32_t id, uintptr_t wparam, intptr_t lparam);
// Pushes a close request (quit event) into the queue.
void post_quit();

// An input event in the runtime's terms.
struct InputEvent {
    enum class Kind : uint8_t {
        kKeyDown,
        kKeyUp,
        kText,
        kMouseWheel,
        kJoystickAdded,
        kJoystickRemoved,
        kJoystickAxis,
        kJoystickButtonDown,
        kJoystickButtonUp,
        kJoystickHat,
        kMouseButtonDown,
    };
    Kind kind = Kind::kKeyDown;
    // Keys: the DirectInput scan code (0 for a key without one) and whether holding the key
    // repeated it.
    uint8_t scan_code = 0;
    bool repeat = false;
    // Text: the typed characters as Windows-1252, NUL-terminated (characters without a code
    // there are left out).
    char text[32] = {};
    // Mouse wheel: steps, positive away from the user.
    int32_t wheel = 0;
    // A mouse button pressed: the button in index (0 left, 1 right, 2 middle).
    // Joysticks: the device (the index when added, the instance id otherwise), the axis, button
    // or hat number, and the axis position -32768..32767 or the hat direction in hundredths of
    // a degree clockwise from up (-1 centred).
    int32_t device = 0;
    int32_t index = 0;
    int32_t value = 0;
};

// Receives every input event the pump or a keyboard flush takes out of the queue.
using InputEventSink = void (*)(const InputEvent& event);
// Sets the sink; null drops input events.
void set_input_event_sink(InputEventSink sink);
// True when key or text events are waiting.
bool keyboard_events_pending();
// Takes every waiting key and text event out of the queue and hands it to the input sink
// ("remove keyboard messages": the window procedure never sees them).
void take_keyboard_events();

}  // namespace kvn::platform
