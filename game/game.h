// The shooter's shared state and routines: every game value is a number (a double), switches
// are on only when they hold exactly 1.
#pragma once

#include <kvn/kvn.h>

// ---- Records: plain sequences of numbers; reserved fields are 0 and never read ----

struct Star {
    double x, y;
    double z;  // depth 50..200: speed and brightness
};

struct Spark {
    double x, y;
    double life;  // 1 when made, falls by 0.25 per frame
};

struct Explosion {
    double x, y;
    double scale;  // always 1
    double life;   // 1 when made, falls by 0.075 per frame
};

struct Shot {
    double x, y;
    double reserved;
    double damage;
    double speed;  // pixels per frame along x; positive flies right
    double sprite;
    double width, height;
};

struct Enemy {
    double x, y;
    double reserved_a;
    double fire_interval;  // ms between volleys
    double hit_points;
    double shot_damage;
    double speed;  // x per frame
    double reserved_b;
    double sprite;
    double reserved_c;
    double volley;  // shots per volley
    double score;
    double next_fire;  // elapsed_ms reading of the next volley
    double shot_speed;
    double shot_sprite;
    double reserved_d;
    double width, height;
    double hit_flash;  // 1 while hit this frame
};

// ---- Arrays ----

extern kvn::ValueArray<Star> Stars;
extern kvn::ValueArray<Spark> Sparks;
extern kvn::ValueArray<Explosion> Explosions;
extern kvn::ValueArray<Shot> Player_Shots;
extern kvn::ValueArray<Shot> Enemy_Shots;
extern kvn::ValueArray<Enemy> Enemies;

extern kvn::ValueArray<double> Cos_Table;
extern kvn::ValueArray<double> Sin_Table;
extern kvn::ValueArray<double> Section_X;
extern kvn::ValueArray<double> Rank_Hidden;
extern kvn::ValueArray<kvn::StringValue> Stage_Files;  // [section][layer]: back, solid, light

// ---- Globals ----

extern double Screen_Width;
extern double Screen_Height;
extern double Full_Screen;
extern double Target_FPS;
extern double Level_X;
extern double Level_Y;
extern double Scroll_Speed;
extern double Scroll_Delta;
extern double Current_Section;
extern double Next_Section;
extern double Last_Section;
extern double Player_X;
extern double Player_Y;
extern double Player_Sprite;
extern double Fire_Delay;
extern double Shield;
extern double Armor;
extern double Energy;
extern double Shot_Damage;
extern double Volley_Size;
extern double Velocity_X;
extern double Velocity_Y;
extern double Max_Speed;
extern double Ship_Width;
extern double Ship_Height;
extern double Hit_Flag;  // 0 none, 1 hit by a shot, 2 hit a wall, this frame
extern double Score;
extern double Stage_Counter;
extern double Running;
extern double Game_State;
extern double Sound_On;
extern double Frameskip_On;
extern double Stars_On;
extern double Show_FPS;
extern double Star_Count;
extern double Star_Size;
extern double Sound_Voices;
extern double Burner_Phase;
extern double Burner_Step;
extern double Sleep_Step;
extern double Next_Enemy_Time;
extern double Next_Player_Fire;
extern double Volley_Counter;
extern double Fps_Shown;
extern double Fps_Time;
extern double Fps_Average;

// ---- Routines ----

// State and main loop.
// The start sequence: tables, screen, colour key, pacing, stage, pictures, sounds, stars.
double Game_Start();
// One frame of the loop: update, draw, frame rate, present, optional adaptive sleep.
double Game_Frame();
double Frameskip_Sleep(double fps);

// Asset loading.
double Load_Math();
double Load_Graphics();
double Load_Audio();

// Stage and starfield.
double Draw_Sprite_Quad(double sprite, double x, double y, double width, double height,
                        double mode);
double Game_StartNEW();
double Load_LevelMap();
double Process_Level();
double Draw_Level();
double Draw_OverLevel();
double Init_Stars();
double Process_Starfield();
double Draw_Stars();

// Player.
double Steer_Player(double direction);
double Level_Hit(double direction);
double Player_Fire();
double Process_Player();

// Enemies.
double Enemy_Stat(double type, double index);
double Spawn_Enemy(double type, double x, double y);
double Enemy_Fire(double x, double y, double fire_interval, double next_fire, double volley,
                  double shot_speed, double shot_sprite, double shot_damage, double width,
                  double height);
double Process_Enemy();

// True when a shot has flown out past the screen edge it flies towards.
inline bool Shot_Has_Left_Screen(const Shot& shot) {
    return (shot.speed > 0 && shot.x > Screen_Width) || (shot.speed <= 0 && shot.x < 0);
}

// Master update.
double Process_Master();
double Add_Explosion(double x, double y, double scale);
double Add_Spark(double x, double y);

// Drawing, HUD and frame rate.
double Draw_Screen();
double Draw_OverlayHub();
double Draw_FPS();
// The frame-rate line: "FPS: " shown rate "/" target rate, and the frame-skip note.
kvn::StringValue Fps_Line();
