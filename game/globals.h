// The shooter's globals: every game value is a number (a double).
#pragma once

extern double Screen_Width;
extern double Screen_Height;
extern double Full_Screen;
extern double Target_FPS;
extern double Running;
extern double Game_State;
extern double Frameskip_On;
extern double Sleep_Step;

// The game's routines, one file per routine group.
double Process_Master();
double Frameskip_Sleep(double fps);
