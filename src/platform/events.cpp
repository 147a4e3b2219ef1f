// SDL events as window messages, and input events handed to the input subsystem's sink.
#include "platform/events.h"

#include <SDL.h>

#include <cstring>
#include <string>

#include "platform/scan_codes.h"
#include "platform/text_encoding.h"

namespace kvn::platform {

namespace {

WindowProcedure registered_procedure = nullptr;
InputEventSink input_sink = nullptr;

// The window an event belongs to; events without a window belong to every window.
bool event_belongs_to(const SDL_Event& event, Window* window) {
    Uint32 id = 0;
    switch (event.type) {
        case SDL_WINDOWEVENT:
            id = event.window.windowID;
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            id = event.key.windowID;
            break;
        case SDL_TEXTINPUT:
            id = event.text.windowID;
            break;
        case SDL_TEXTEDITING:
            id = event.edit.windowID;
            break;
        case SDL_MOUSEMOTION:
            id = event.motion.windowID;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            id = event.button.windowID;
            break;
        case SDL_MOUSEWHEEL:
            id = event.wheel.windowID;
            break;
        default:
            return true;
    }
    SDL_Window* own = reinterpret_cast<SDL_Window*>(window);
    return id == 0 || !own || id == SDL_GetWindowID(own);
}

// The event as an input record; false for events that are not input.
bool translate_input(const SDL_Event& event, InputEvent* input) {
    using Kind = InputEvent::Kind;
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            input->kind = event.type == SDL_KEYDOWN ? Kind::kKeyDown : Kind::kKeyUp;
            input->scan_code = direct_input_scan_code(event.key.keysym.scancode);
            input->repeat = event.key.repeat != 0;
            return true;
        case SDL_TEXTINPUT: {
            input->kind = Kind::kText;
            const std::string text = utf8_to_ansi(event.text.text);
            std::strncpy(input->text, text.c_str(), sizeof input->text - 1);
            return true;
        }
        case SDL_MOUSEWHEEL:
            input->kind = Kind::kMouseWheel;
            input->wheel =
                event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            return true;
        case SDL_JOYDEVICEADDED:
        case SDL_JOYDEVICEREMOVED:
            input->kind =
                event.type == SDL_JOYDEVICEADDED ? Kind::kJoystickAdded : Kind::kJoystickRemoved;
            input->device = event.jdevice.which;
            return true;
        case SDL_JOYAXISMOTION:
            input->kind = Kind::kJoystickAxis;
            input->device = event.jaxis.which;
            input->index = event.jaxis.axis;
            input->value = event.jaxis.value;
            return true;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            input->kind = event.type == SDL_JOYBUTTONDOWN ? Kind::kJoystickButtonDown
                                                          : Kind::kJoystickButtonUp;
            input->device = event.jbutton.which;
            input->index = event.jbutton.button;
            return true;
        case SDL_JOYHATMOTION:
            input->kind = Kind::kJoystickHat;
            input->device = event.jhat.which;
            input->index = event.jhat.hat;
            input->value = hat_direction(event.jhat.value);
            return true;
        default:
            return false;
    }
}

// Hands an input event to the sink; false when the event is not input.
bool deliver_input(const SDL_Event& event) {
    InputEvent input;
    if (!translate_input(event, &input)) return false;
    if (input_sink) input_sink(input);
    return true;
}

Message translate(const SDL_Event& event, Window* window) {
    Message message{window, kMessageNull, 0, 0};
    if (event.type == SDL_QUIT) {
        message.id = kMessageClose;
    } else if (event.type == SDL_WINDOWEVENT) {
        switch (event.window.event) {
            case SDL_WINDOWEVENT_CLOSE:
                message.id = kMessageClose;
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                message.id = kMessageActivate;
                message.wparam = 1;
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                message.id = kMessageActivate;
                message.wparam = 0;
                break;
            case SDL_WINDOWEVENT_EXPOSED:
                message.id = kMessageEraseBackground;
                break;
            default:
                break;
        }
    }
    return message;
}

// Finds the first waiting event of the window; removes it when asked, handing an input event
// to the sink. Events of windows that no longer exist (a window re-created for full screen)
// are dropped on the way.
bool next_event(Window* window, Message* message, bool remove) {
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        if (!event_belongs_to(event, window)) {
            SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
            continue;
        }
        *message = translate(event, window);
        if (remove) {
            SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
            deliver_input(event);
        }
        return true;
    }
    return false;
}

}  // namespace

void set_window_procedure(WindowProcedure procedure) {
    registered_procedure = procedure;
}

bool peek_message(Window* window, Message* message) {
    return next_event(window, message, false);
}

bool remove_message(Window* window, Message* message) {
    return next_event(window, message, true);
}

intptr_t dispatch_message(const Message& message) {
    if (!registered_procedure) {
        return default_window_procedure(message.window, message.id, message.wparam, message.lparam);
    }
    return registered_procedure(message.window, message.id, message.wparam, message.lparam);
}

intptr_t default_window_procedure(Window*, uint32_t, uintptr_t, intptr_t) {
    // SDL already did whatever the system does with an event before it was queued.
    return 0;
}

void post_quit() {
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

void set_input_event_sink(InputEventSink sink) {
    input_sink = sink;
}

bool keyboard_events_pending() {
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_TEXTINPUT) > 0;
}

void take_keyboard_events() {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_TEXTINPUT) == 1) {
        deliver_input(event);
    }
    SDL_FlushEvent(SDL_KEYMAPCHANGED);
}

}  // namespace kvn::platform
