// Player-wide values shared by the player's units.
#include "player/Main.h"

TDemo* App = nullptr;
std::string ProgramDir;
uint16_t CenterX = 0;
uint16_t CenterY = 0;
float ScaleX = 1.0f;
float ScaleY = 1.0f;
uint8_t Visualization = 0;
uint8_t Language = 0;
