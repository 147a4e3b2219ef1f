// Everything a game program uses: include this one header.
#pragma once

#include "kvn/gfx.h"
#include "kvn/input.h"
#include "kvn/pathfinding.h"
#include "kvn/runtime.h"
#include "kvn/sound.h"
#include "kvn/value.h"
