// The shooter's arrays and globals with their values at program load.
#include "game.h"

using kvn::StringValue;
using kvn::ValueArray;

ValueArray<Star> Stars;
ValueArray<Spark> Sparks;
ValueArray<Explosion> Explosions;
ValueArray<Shot> Player_Shots;
ValueArray<Shot> Enemy_Shots;
ValueArray<Enemy> Enemies;

ValueArray<double> Cos_Table;
ValueArray<double> Sin_Table;
ValueArray<double> Section_X;
ValueArray<double> Rank_Hidden;
ValueArray<StringValue> Stage_Files;

double Screen_Width = 1024;
double Screen_Height = 600;
double Full_Screen = 1;
double Target_FPS = 60;
double Level_X = 0;
double Level_Y = 0;
double Scroll_Speed = 2;
double Scroll_Delta = 0;
double Current_Section = 0;
double Next_Section = 1;
double Last_Section = 0;
double Player_X = 0;
double Player_Y = 0;
double Player_Sprite = 0;
double Fire_Delay = 200;
double Shield = 100;
double Armor = 100;
double Energy = 100;
double Shot_Damage = 1;
double Volley_Size = 2;
double Velocity_X = 0;
double Velocity_Y = 0;
double Max_Speed = 2;
double Ship_Width = 64;
double Ship_Height = 64;
double Hit_Flag = 0;
double Score = 0;
double Stage_Counter = 0;
double Running = 0;
double Game_State = 0;
double Sound_On = 0;
double Frameskip_On = 0;
double Stars_On = 1;
double Show_FPS = 1;
double Star_Count = 15;
double Star_Size = 2;
double Sound_Voices = 1;
double Burner_Phase = 0;
double Burner_Step = 0.1;
double Sleep_Step = 0.05;
double Next_Enemy_Time = 0;
double Next_Player_Fire = 0;
double Volley_Counter = 0;
double Fps_Shown = 0;
double Fps_Time = 0;
double Fps_Average = 0;
