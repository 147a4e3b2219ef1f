// SDL events as window messages, and input events handed to the input subsystem's sink.
#include "platform/events.h"

#include <SDL.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/journal.h"
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
        case SDL_MOUSEBUTTONDOWN:
            input->kind = Kind::kMouseButtonDown;
            switch (event.button.button) {
                case SDL_BUTTON_LEFT:
                    input->index = 0;
                    return true;
                case SDL_BUTTON_RIGHT:
                    input->index = 1;
                    return true;
                case SDL_BUTTON_MIDDLE:
                    input->index = 2;
                    return true;
                default:
                    return false;
            }
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

void deliver(const InputEvent& input) {
    if (input_sink) input_sink(input);
}

void write_input(journal::ValueWriter& writer, const InputEvent& input) {
    writer.u8(static_cast<uint8_t>(input.kind)).u8(input.scan_code).u8(input.repeat ? 1 : 0);
    writer.raw(input.text, sizeof input.text);
    writer.i32(input.wheel).i32(input.device).i32(input.index).i32(input.value);
}

InputEvent read_input(journal::ValueReader& reader) {
    InputEvent input;
    const uint8_t kind = reader.u8();
    if (kind > static_cast<uint8_t>(InputEvent::Kind::kMouseButtonDown)) {
        journal::diverge("the recording has an input event of an unknown kind");
    }
    input.kind = static_cast<InputEvent::Kind>(kind);
    input.scan_code = reader.u8();
    input.repeat = reader.u8() != 0;
    reader.raw(input.text, sizeof input.text);
    input.text[sizeof input.text - 1] = '\0';
    input.wheel = reader.i32();
    input.device = reader.i32();
    input.index = reader.i32();
    input.value = reader.i32();
    return input;
}

// A replay takes nothing from the real queue; what arrives there is dropped, so the queue
// never fills.
void drop_real_events() {
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
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

// Finds the first waiting event of the window; removes it when asked, with the input record
// it carries. Events of windows that no longer exist (a window re-created for full screen)
// are dropped on the way.
bool next_event(Window* window, Message* message, bool remove, InputEvent* input,
                bool* has_input) {
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
            *has_input = translate_input(event, input);
        }
        return true;
    }
    return false;
}

// One look at the queue, as the recorder reports it: whether a message was found, the
// message, and the input record removing it handed to the sink.
struct QueueLook {
    bool found = false;
    Message message{};
    bool has_input = false;
    InputEvent input;
};

QueueLook look_at_queue(Window* window, bool remove) {
    const journal::Kind kind = remove ? journal::Kind::kRemoveMessage : journal::Kind::kPeekMessage;
    if (journal::replaying()) drop_real_events();
    QueueLook look = journal::report<QueueLook>(
        kind,
        [window, remove] {
            QueueLook live;
            live.found = next_event(window, &live.message, remove, &live.input, &live.has_input);
            return live;
        },
        [](journal::ValueWriter& w, const QueueLook& v) {
            w.u8(v.found ? 1 : 0);
            if (!v.found) return;
            w.u32(v.message.id).u64(v.message.wparam).u64(static_cast<uint64_t>(v.message.lparam));
            w.u8(v.has_input ? 1 : 0);
            if (v.has_input) write_input(w, v.input);
        },
        [](journal::ValueReader& r) {
            QueueLook v;
            v.found = r.u8() != 0;
            if (!v.found) return v;
            v.message.id = r.u32();
            v.message.wparam = static_cast<uintptr_t>(r.u64());
            v.message.lparam = static_cast<intptr_t>(r.u64());
            v.has_input = r.u8() != 0;
            if (v.has_input) v.input = read_input(r);
            return v;
        },
        QueueLook{});
    look.message.window = window;
    return look;
}

bool next_message(Window* window, Message* message, bool remove) {
    const QueueLook look = look_at_queue(window, remove);
    if (!look.found) return false;
    *message = look.message;
    if (look.has_input) deliver(look.input);
    return true;
}

}  // namespace

void set_window_procedure(WindowProcedure procedure) {
    registered_procedure = procedure;
}

bool peek_message(Window* window, Message* message) {
    return next_message(window, message, false);
}

bool remove_message(Window* window, Message* message) {
    return next_message(window, message, true);
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
    return journal::report_flag(journal::Kind::kKeyboardPending, [] {
        return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_TEXTINPUT) > 0;
    });
}

void take_keyboard_events() {
    using Events = std::vector<InputEvent>;
    if (journal::replaying()) drop_real_events();
    const Events taken = journal::report<Events>(
        journal::Kind::kKeyboardEvents,
        [] {
            Events live;
            SDL_Event event;
            InputEvent input;
            while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_TEXTINPUT) == 1) {
                if (translate_input(event, &input)) live.push_back(input);
            }
            SDL_FlushEvent(SDL_KEYMAPCHANGED);
            return live;
        },
        [](journal::ValueWriter& w, const Events& events) {
            for (const InputEvent& input : events) write_input(w, input);
        },
        [](journal::ValueReader& r) {
            Events events;
            while (!r.at_end()) events.push_back(read_input(r));
            return events;
        },
        Events{});
    for (const InputEvent& input : taken) deliver(input);
}

}  // namespace kvn::platform
