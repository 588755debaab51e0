#pragma once
#include "gegbl.h"
