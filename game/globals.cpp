// The shooter's globals with their values at program load.
#include "globals.h"

double Screen_Width = 1024;
double Screen_Height = 600;
double Full_Screen = 1;
double Target_FPS = 60;
double Running = 0;
double Game_State = 0;
double Frameskip_On = 0;
double Sleep_Step = 0.05;
