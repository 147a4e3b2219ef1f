// sound: effects on keys, panned to where the mouse is; a melody the program writes as a WAV
// file and loops as music; the music volume on the arrow keys. Escape quits.
#include <kvn/kvn.h>

using namespace kvn;

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "Sound";
}

const int32_t kKey1 = 2, kKey2 = 3, kKeyUp = 200, kKeyDown = 208;
const int32_t kRate = 22050;

// Two seconds of a plucked arpeggio as a 16-bit mono WAV file.
void write_melody(const StringValue& name) {
    const double notes[] = {220.0, 277.2, 329.6, 440.0, 329.6, 277.2, 246.9, 293.7};
    const int32_t note_samples = kRate / 4, samples = 8 * note_samples;
    open_file(0, name, 0);
    write_text(0, "RIFF");
    write_uint32(0, 36 + samples * 2);
    write_text(0, "WAVEfmt ");
    write_uint32(0, 16);
    write_uint16(0, 1);  // PCM
    write_uint16(0, 1);  // mono
    write_uint32(0, kRate);
    write_uint32(0, kRate * 2);
    write_uint16(0, 2);
    write_uint16(0, 16);
    write_text(0, "data");
    write_uint32(0, samples * 2);
    for (int32_t i = 0; i < samples; ++i) {
        const int32_t t = i % note_samples;
        const double fade = 1.0 - double(t) / note_samples;
        write_int16(0, 9000 * fade * sin_deg(360.0 * notes[i / note_samples] * t / kRate));
    }
    close_file(0);
}

void Game_Main() {
    set_media_archives("examples.gfx", "");
    load_sound("blast_a1.wav", 1, 4);  // four voices: a sound may overlap itself
    load_sound("boom_a1.wav", 2, 2);
    write_melody("melody.wav");
    play_music("melody.wav", 1);
    double volume = 0.8;
    set_music_volume(volume);

    int32_t last_channel = -1, was_down = 0;
    double last_pan = 0;
    for (;;) {
        int32_t mouse_x = 0, mouse_y = 0, left = 0, right = 0;
        mouse_state_int(mouse_x, mouse_y, left, right);
        const double pan = (mouse_x - 320) / 320.0;  // -1 at the left edge, +1 at the right

        // A key plays once per press.
        const int32_t down = key_down(kKey1) + 2 * key_down(kKey2);
        if (down & ~was_down & 1) last_channel = play_sound(1, pan, 1.0);
        if (down & ~was_down & 2) last_channel = play_sound(2, pan, 1.0);
        if (down & ~was_down) last_pan = pan;
        was_down = down;
        if (key_down(kKeyUp) && volume < 1) volume += 0.01;
        if (key_down(kKeyDown) && volume > 0) volume -= 0.01;
        set_music_volume(volume);

        clear_screen(0x281810);
        // Two speakers; the one the sound leans to lights up while it plays.
        const int32_t playing = last_channel >= 0 && sound_playing(last_channel);
        const int32_t left_light = playing ? int32_t(190 * (1 - last_pan) / 2) : 0;
        const int32_t right_light = playing ? int32_t(190 * (1 + last_pan) / 2) : 0;
        draw_rect(20, 160, 60, 120, 0x404040 + left_light * 256);
        draw_rect(560, 160, 60, 120, 0x404040 + right_light * 256);
        // The pan the mouse sets, as a marker on a line between the speakers.
        draw_line(100, 220, 540, 220, 0x808080);
        draw_rect(316 + int32_t(pan * 220), 210, 9, 21, 0x00FFFF);
        // The music volume as a bar.
        draw_rect(100, 400, 440, 16, 0x303030);
        draw_rect(100, 400, int32_t(440 * volume), 16, 0xFF8000);

        set_font(0);
        print_text("Move the mouse to pan. 1: laser, 2: explosion.", 100, 60);
        print_text("Up/Down: music volume " + format_number(0, 0, volume * 100) + "%", 100, 380);
        print_text(music_playing() ? "music: looping melody.wav" : "music: none", 100, 430);
        print_text("pan " + format_number(0, 2, pan), 290, 240);
        show_screen();
    }
}
