// Result-buffer utilities and command-line output of the ads interface.
#pragma once
#include "adscodes.h"
#include "adsdef.h"

// A new buffer of the given type with a zeroed value and no successor; nullptr when
// memory runs out.
struct resbuf* acutNewRb(int type);
// Releases a whole chain, strings included. Returns RTNORM.
int acutRelRb(struct resbuf* rb);
// A copy of a string allocated as acutRelRb releases the strings of RTSTR buffers.
ACHAR* acutNewString(const ACHAR* text);
// Builds a chain from (type, value) pairs ended by 0; RTLB, RTLE, RTDOTE, RTNIL,
// RTT and RTNONE take no value. Strings are copied. nullptr on an unknown type.
struct resbuf* acutBuildList(int type, ...);
// printf with a wide format to the host's command line.
int acutPrintf(const ACHAR* format, ...);

int acutCvUnit(ads_real value, const ACHAR* oldunit, const ACHAR* newunit, ads_real* result);
ads_real acutDistance(const ads_point p1, const ads_point p2);
ads_real acutAngle(const ads_point p1, const ads_point p2);
void acutPolar(const ads_point pt, ads_real angle, ads_real dist, ads_point result);
